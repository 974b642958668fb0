// Live view: the cameras of every shop beside the area where the client lays its video (module
// 1: sixteen windows with their video bar, and the time bar and calendar of the recordings
// under them). A camera opens by a double click, Enter, or by dragging it onto the video; the
// windows' play states come back as badges, and the window selected in the client selects its
// camera here.
import {onAlarm} from '../alarms.js';
import {Module, client, isNative, notices} from '../bridge.js';
import {h, fill} from '../dom.js';
import {platform} from '../platform.js';
import {state, subscribe} from '../store.js';
import {trackVideoArea} from '../videoarea.js';
import {cameraDevices, channelKey, channelObject, isOnline, matches, wentOffline}
    from './cameras.js';
import {byShop, pageHead, statusDot, videoFrame} from './parts.js';

const module = Module.liveView;
const splits = [1, 4, 6, 8, 9, 16];
const deviceOfflineAlarm = 5; // "messageType" of the platform's alarm when a device goes offline
const refreshMs = 60000; // the device list is read again this often, to learn of offline devices
const openingMs = 15000; // an open the client has not answered by then is no longer shown
const dragStartPx = 5;

// What the client's windows show: wndID -> {key, status}. Kept while another page is shown,
// since the client keeps the live view playing, hidden, until its tab closes or the user logs
// out.
const windows = new Map();
let onWindowChange = null; // the page on screen: fn(channel keys whose windows changed)

function watchWindows() {
    notices.videoStatus(({module: from, wndID, deviceID, channelID, status}) => {
        if (from !== module)
            return;
        const key = channelKey(deviceID, channelID);
        const old = windows.get(wndID);
        if (status === 0)
            windows.delete(wndID);
        else
            windows.set(wndID, {key, status});
        if (onWindowChange)
            onWindowChange(old && old.key !== key ? [old.key, key] : [key]);
    });
    subscribe((changes) => {
        if ('user' in changes || ('tabs' in changes
                                  && !state.tabs.includes('videoSurveillance')))
            windows.clear();
    });
}

let watching = false;

export function render(container, {query}) {
    if (!watching) {
        watching = true;
        watchWindows();
    }
    const view = createView(query);
    fill(container, view.page);
    onWindowChange = view.windowsChanged;
    const stops = [
        trackVideoArea(module, view.frame),
        () => {
            onWindowChange = null;
        },
        notices.windowSelected((selected) => selected.module === module
                               && view.windowSelected(selected)),
        onAlarm((message) => message.messageType === deviceOfflineAlarm
                && view.deviceOffline(message.deviceId)),
    ];
    const refresh = setInterval(view.refresh, refreshMs);
    view.refresh();
    return () => {
        clearInterval(refresh);
        view.leave();
        stops.forEach((stop) => stop());
    };
}

function createView(query) {
    let devices = [];
    let loaded = false; // a device list has been shown
    const rows = new Map(); // channel key -> {row, device, channel}
    const opening = new Map(); // channel key -> timer
    let selected = '';
    let tiles = splits.includes(Number(query.split)) ? Number(query.split) : 4;

    const search = h('input', {type: 'search', id: 'camera-search', placeholder: 'Search cameras',
                               'aria-label': 'Search cameras', autocomplete: 'off'});
    const treeNote = h('div', {class: 'tree-note'}, h('p', {class: 'muted'}, 'Loading…'));
    const tree = h('div', {class: 'tree', id: 'camera-tree', role: 'tree'});
    const frameHost = h('div', {class: 'frame-host live-frame'});
    const hint = h('div', {class: 'playback-hint hidden', id: 'playback-hint', role: 'status'});
    const recordings = h('button', {class: 'button', id: 'recordings', type: 'button',
                                    disabled: true, title: 'Recordings of the selected camera',
                                    onclick: () => showRecordings()}, 'Recordings');
    const splitButtons = h('div', {class: 'segmented', id: 'split', role: 'group',
                                   'aria-label': 'Windows'});

    const showFrame = () => {
        fill(splitButtons, splits.map((count) => h(
            'button', {type: 'button', class: count === tiles ? 'active' : '',
                       'aria-pressed': String(count === tiles), dataset: {split: String(count)},
                       onclick: () => {
                           tiles = count;
                           showFrame();
                       }},
            String(count))));
        fill(frameHost, videoFrame(module, {
            title: 'Live view',
            tiles,
            text: isNative() ? 'Double-click a camera, or drag it here, to watch it.' : null,
        }));
    };
    showFrame();

    const entry = (key) => rows.get(key);
    // wndID: the window the channels open from (-1: the client's selected window).
    const open = (keys, wndID = -1) => {
        const online = keys.map(entry).filter((e) => e && isOnline(e.device, e.channel));
        if (online.length === 0)
            return;
        online.forEach((e) => markOpening(channelKey(e.device.deviceId, e.channel.channelId)));
        client.openVideo(module, online.map((e) => ({
            ...channelObject(e.device, e.channel, state.user.token), wndID})));
    };
    const markOpening = (key) => {
        clearTimeout(opening.get(key));
        opening.set(key, setTimeout(() => {
            opening.delete(key);
            showBadge(key);
        }, openingMs));
        showBadge(key);
    };
    const closeChannel = (key) => {
        const e = entry(key);
        if (e)
            client.closeVideo(module, e.device.deviceId, e.channel.channelId);
    };

    const showBadge = (key) => {
        const e = entry(key);
        if (!e)
            return;
        const shown = [...windows].filter(([, w]) => w.key === key)
            .sort(([a], [b]) => a - b);
        const badge = e.row.querySelector('.window-badge');
        const playing = shown.length > 0 && shown.every(([, w]) => w.status === 3);
        badge.className = `window-badge${shown.length ? (playing ? ' playing' : ' opening') : ''}`;
        badge.textContent = shown.length ? shown.map(([wndID]) => wndID + 1).join(' ')
            : (opening.has(key) ? '…' : '');
        badge.title = shown.length ? `Window ${shown.map(([wndID]) => wndID + 1).join(', ')}`
            : (opening.has(key) ? 'Opening' : '');
        e.row.classList.toggle('shown', shown.length > 0);
    };

    const select = (key) => {
        if (selected && entry(selected))
            entry(selected).row.classList.remove('selected');
        selected = entry(key) ? key : '';
        if (selected)
            entry(selected).row.classList.add('selected');
        recordings.disabled = !selected;
    };

    const showRecordings = () => {
        const e = entry(selected);
        if (!e)
            return;
        const shownIn = [...windows].filter(([, w]) => w.key === selected).map(([wndID]) => wndID);
        if (shownIn.length === 0)
            open([selected]);
        const where = shownIn.length ? `row ${shownIn[0] + 1} of the time bar`
            : 'its row of the time bar once it plays';
        fill(hint, h('div', {},
                     h('strong', {}, `Recordings of ${e.channel.channelName}`),
                     h('span', {}, isNative()
                         ? ` — pick a day in the calendar under the video, then double-click a `
                           + `time on ${where} to play it. The live button beside the days `
                           + 'goes back to live video.'
                         : ' play in the Orvane desktop client.')),
             h('button', {class: 'button small', type: 'button', title: 'Close (Escape)',
                          onclick: () => hint.classList.add('hidden')}, 'Close'));
        hint.classList.remove('hidden');
    };

    const showTree = () => {
        rows.clear();
        const cameras = cameraDevices(devices);
        fill(treeNote, cameras.length ? null : h('p', {class: 'muted'}, 'No cameras.'));
        fill(tree, cameraTree(cameras, rows, {open, select, closeChannel}, frameHost),
             h('p', {class: 'muted hidden', id: 'no-match'}, 'No camera matches.'));
        for (const key of rows.keys())
            showBadge(key);
        select(selected);
        filter();
    };
    const filter = () => {
        let any = false;
        for (const {row, device, channel} of rows.values()) {
            row.hidden = !matches(device, channel, search.value);
            any = any || !row.hidden;
        }
        for (const group of tree.querySelectorAll('.tree-device, details'))
            group.hidden = !group.querySelector('.tree-channel:not([hidden])');
        const none = tree.querySelector('#no-match');
        if (none)
            none.classList.toggle('hidden', any);
    };
    search.addEventListener('input', filter);

    const offline = (lost) => {
        for (const {device, channel} of lost)
            client.deviceStatus('offline', device.deviceId, channel.channelId);
    };

    const page = h('section', {class: 'page page-video', onkeydown: (event) => {
        if (event.key === 'Escape')
            hint.classList.add('hidden');
    }},
                   pageHead('Live view', 'Watch the cameras of your shops',
                            isNative() ? null : splitButtons, recordings),
                   hint,
                   h('div', {class: 'split-layout'},
                     h('aside', {class: 'panel camera-panel'},
                       h('h2', {class: 'panel-title'}, 'Cameras'), search, treeNote, tree),
                     frameHost));

    return {
        page,
        frame: frameHost,
        async refresh() {
            const before = devices;
            let after;
            try {
                after = await platform.devices(state.user.token);
            } catch (error) {
                // The cameras already shown stay; the note tells why they are not fresh.
                fill(treeNote, h('p', {class: 'form-message'}, error.message));
                return;
            }
            if (!tree.isConnected)
                return;
            if (loaded && JSON.stringify(after) === JSON.stringify(before)) {
                fill(treeNote);
                return;
            }
            loaded = true;
            devices = after;
            offline(wentOffline(before, after));
            showTree();
        },
        deviceOffline(deviceId) {
            const device = devices.find((d) => d.deviceId === deviceId);
            if (!device || device.online === false)
                return;
            const lost = device.channels.filter((channel) => isOnline(device, channel))
                .map((channel) => ({device, channel}));
            device.online = false;
            offline(lost);
            showTree();
        },
        windowsChanged(keys) {
            for (const key of keys) {
                clearTimeout(opening.get(key));
                opening.delete(key);
                showBadge(key);
            }
        },
        windowSelected({deviceID, channelID}) {
            select(channelKey(deviceID, channelID));
            if (selected)
                entry(selected).row.scrollIntoView({block: 'nearest'});
        },
        leave() {
            opening.forEach((timer) => clearTimeout(timer));
        },
    };
}

// The tree: shops, their devices (with an online dot) and the devices' channels. A double click
// on a device opens all its channels.
function cameraTree(cameras, rows, actions, frameHost) {
    return byShop(cameras).map(({shopName, devices: list}) => h(
        'details', {open: true}, h('summary', {}, shopName),
        list.map((device) => {
            const channels = device.channels.map((channel) => {
                const key = channelKey(device.deviceId, channel.channelId);
                const row = channelRow(device, channel, key, actions, frameHost);
                rows.set(key, {row, device, channel});
                return row;
            });
            return h('div', {class: 'tree-device', role: 'group'},
                     h('div', {class: 'tree-device-name', title: 'Double-click to open all',
                               ondblclick: () => actions.open(
                                   device.channels.map((c) => channelKey(device.deviceId,
                                                                         c.channelId)))},
                       h('span', {}, device.deviceName), statusDot(device.online !== false)),
                     channels);
        })));
}

function channelRow(device, channel, key, actions, frameHost) {
    const online = isOnline(device, channel);
    const row = h('div', {class: online ? 'tree-channel' : 'tree-channel offline', tabindex: '0',
                          role: 'treeitem', dataset: {device: device.deviceId,
                                                      channel: String(channel.channelId)},
                          title: online ? 'Double-click or drag onto the video to watch'
                              : 'Offline',
                          onclick: () => actions.select(key),
                          ondblclick: () => actions.open([key]),
                          onkeydown: (event) => onChannelKey(event, key, row, actions)},
                  h('span', {class: online ? 'dot online' : 'dot offline',
                             'aria-label': online ? 'Online' : 'Offline'}),
                  h('span', {class: 'channel-name'}, channel.channelName),
                  h('span', {class: 'window-badge'}));
    if (online)
        dragToVideo(row, channel.channelName, frameHost, (wndID) => actions.open([key], wndID));
    return row;
}

// Keys on a channel: Enter opens, Delete closes its windows, arrows move between channels.
function onChannelKey(event, key, row, actions) {
    const step = {ArrowDown: 1, ArrowUp: -1}[event.key];
    if (event.key === 'Enter') {
        actions.select(key);
        actions.open([key]);
    } else if (event.key === 'Delete') {
        actions.closeChannel(key);
    } else if (step) {
        const all = [...row.closest('.tree').querySelectorAll('.tree-channel:not([hidden])')];
        const next = all[all.indexOf(row) + step];
        if (next) {
            next.focus();
            next.click();
        }
    } else {
        return;
    }
    event.preventDefault();
}

// The client's window at a point of the video area, -1 for none: the page's placeholder windows
// lie where the client's do (above its bars, in the same split and order).
function windowAt(frameHost, event) {
    return [...frameHost.querySelectorAll('.video-tile')].findIndex((tile) => {
        const box = tile.getBoundingClientRect();
        return event.clientX >= box.left && event.clientX < box.right
            && event.clientY >= box.top && event.clientY < box.bottom;
    });
}

// Dragging a channel onto a window of the video opens it there. Pointer events, not HTML drag and
// drop: while the button is held the page keeps the pointer even over the client's video, which
// would otherwise receive the drop itself.
function dragToVideo(row, label, frameHost, onDrop) {
    row.addEventListener('pointerdown', (down) => {
        if (down.button !== 0)
            return;
        let ghost = null;
        const over = (event) => {
            const box = frameHost.getBoundingClientRect();
            return event.clientX >= box.left && event.clientX < box.right
                && event.clientY >= box.top && event.clientY < box.bottom;
        };
        const move = (event) => {
            if (!ghost && Math.hypot(event.clientX - down.clientX,
                                     event.clientY - down.clientY) < dragStartPx)
                return;
            if (!ghost) {
                ghost = h('div', {class: 'drag-ghost'}, label);
                document.body.append(ghost);
            }
            ghost.style.transform = `translate(${event.clientX + 12}px, ${event.clientY + 8}px)`;
            frameHost.classList.toggle('drop-target', over(event));
        };
        const end = (event) => {
            row.removeEventListener('pointermove', move);
            row.removeEventListener('pointerup', end);
            row.removeEventListener('pointercancel', end);
            frameHost.classList.remove('drop-target');
            if (!ghost)
                return;
            ghost.remove();
            if (event.type === 'pointerup' && over(event))
                onDrop(windowAt(frameHost, event));
        };
        row.setPointerCapture(down.pointerId);
        row.addEventListener('pointermove', move);
        row.addEventListener('pointerup', end);
        row.addEventListener('pointercancel', end);
    });
}
