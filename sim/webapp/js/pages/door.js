// Access control: the door stations and the door camera of the one chosen.
import {Module} from '../bridge.js';
import {h, fill} from '../dom.js';
import {loadDevices, pageHead, statusDot, videoFrame} from './parts.js';

export function render(container) {
    const list = h('div', {class: 'list', id: 'door-list'}, h('p', {class: 'muted'}, 'Loading…'));
    fill(container, h('section', {class: 'page page-door'},
                      pageHead('Access control', 'Door stations of your sites'),
                      h('div', {class: 'split-layout'},
                        h('aside', {class: 'panel'},
                          h('h2', {class: 'panel-title'}, 'Doors'), list),
                        h('div', {class: 'frame-host'},
                          videoFrame(Module.remoteDoor, {title: 'Door camera'})))));

    loadDevices(list).then((devices) => {
        const doors = devices.filter((device) => device.deviceType === 'door');
        if (!list.isConnected)
            return;
        fill(list, doors.length === 0 ? h('p', {class: 'muted'}, 'No door stations.')
             : doors.map((door) => h('div', {class: 'list-item', dataset: {device: door.deviceId}},
                                     h('strong', {}, door.deviceName),
                                     h('span', {class: 'muted'}, door.shopName),
                                     statusDot(door.online))));
    });
}
