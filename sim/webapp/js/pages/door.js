// Access control: the door stations, the door camera of the one chosen (the client lays its video
// over the page's door frame), the picture the client takes of it, and the opening of the door
// when the user presses the client's door button.
import {Module, client, isNative, notices} from '../bridge.js';
import {h, fill} from '../dom.js';
import {platform} from '../platform.js';
import {state} from '../store.js';
import {loadDevices, pageHead, statusDot, videoFrame} from './parts.js';

// The channel object of the client's video requests for a door station's first channel.
function channelOf(door) {
    const channel = door.channels[0];
    return {
        deviceID: door.deviceId, devName: door.deviceName, deviceModel: door.deviceModel,
        brand: door.brand, devAbility: door.ability, shopCode: door.shopCode,
        shopName: door.shopName, account: door.devLoginName, password: door.devLoginPassword,
        channelID: channel.channelId, channelName: channel.channelName,
        chnAbility: channel.ability, isOnline: door.online && channel.online ? 1 : 0,
        wndID: 0,
    };
}

function time() {
    return new Date().toLocaleTimeString();
}

export function render(container) {
    const list = h('div', {class: 'list', id: 'door-list'}, h('p', {class: 'muted'}, 'Loading…'));
    const frame = videoFrame(Module.remoteDoor, {title: 'Door camera'});
    const picture = h('img', {id: 'door-picture', alt: 'Door camera picture', hidden: true});
    const pictureNote = h('p', {class: 'muted', id: 'door-picture-note'},
                          'The picture of the door camera appears here once it plays.');
    const result = h('p', {class: 'door-result', id: 'door-result'});
    let shown = null; // the door station whose camera plays

    const announceFrame = () => {
        const {left, top, right, bottom} = frame.getBoundingClientRect();
        client.setVideoArea(Module.remoteDoor, {left, top, right, bottom});
    };
    const closeShown = () => {
        if (shown)
            client.closeVideo(Module.remoteDoor, shown.deviceId, shown.channels[0].channelId);
        shown = null;
    };
    const show = (door, item) => {
        closeShown();
        shown = door;
        for (const other of list.querySelectorAll('.list-item'))
            other.classList.toggle('selected', other === item);
        picture.hidden = true;
        fill(pictureNote, `Waiting for the picture of ${door.deviceName}…`);
        fill(result);
        announceFrame();
        client.openVideo(Module.remoteDoor, [channelOf(door)]);
    };
    const openDoor = async () => {
        if (!shown) {
            fill(result, 'No door is shown.');
            return;
        }
        const door = shown;
        fill(result, `Opening ${door.deviceName}…`);
        try {
            await platform.openDoor(state.user.token, door.deviceId, door.channels[0].channelId);
            fill(result, `${door.deviceName} opened at ${time()}.`);
            result.dataset.outcome = 'opened';
        } catch (error) {
            fill(result, `${door.deviceName} did not open: ${error.message}`);
            result.dataset.outcome = 'refused';
        }
    };

    const stops = [
        notices.doorPicture(({jpegBase64, deviceId}) => {
            if (!shown || deviceId !== shown.deviceId || !jpegBase64)
                return;
            picture.src = `data:image/jpeg;base64,${jpegBase64}`;
            picture.hidden = false;
            fill(pictureNote, `${shown.deviceName}, ${time()}`);
        }),
        notices.doorButton(openDoor),
    ];
    const resize = new ResizeObserver(() => {
        if (shown)
            announceFrame();
    });
    resize.observe(frame);

    fill(container, h('section', {class: 'page page-door'},
                      pageHead('Access control', 'Door stations of your sites'),
                      h('div', {class: 'split-layout'},
                        h('aside', {class: 'panel'},
                          h('h2', {class: 'panel-title'}, 'Doors'), list),
                        h('div', {class: 'door-view'},
                          h('div', {class: 'frame-host'}, frame),
                          h('div', {class: 'panel door-picture'},
                            h('h2', {class: 'panel-title'}, 'Last picture'),
                            picture, pictureNote, result)))));

    loadDevices(list).then((devices) => {
        const doors = devices.filter((device) => device.deviceType === 'door');
        if (!list.isConnected)
            return;
        fill(list, doors.length === 0 ? h('p', {class: 'muted'}, 'No door stations.')
             : doors.map((door) => {
                 const item = h('div', {class: 'list-item', dataset: {device: door.deviceId},
                                        role: 'button', tabindex: '0'},
                                h('strong', {}, door.deviceName),
                                h('span', {class: 'muted'}, door.shopName),
                                statusDot(door.online));
                 if (isNative())
                     item.addEventListener('click', () => show(door, item));
                 return item;
             }));
    });

    return () => {
        resize.disconnect();
        stops.forEach((stop) => stop());
        closeShown();
    };
}
