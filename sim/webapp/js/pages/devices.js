// Devices: every recorder, camera and door station with its shop, channels and state.
import {client, isNative} from '../bridge.js';
import {h, fill} from '../dom.js';
import {loadDevices, pageHead, statusDot} from './parts.js';

const typeNames = {recorder: 'Recorder', camera: 'Camera', door: 'Door station'};

export function render(container) {
    const body = h('tbody', {}, h('tr', {}, h('td', {colspan: 6, class: 'muted'}, 'Loading…')));
    const errors = h('div', {});
    fill(container, h('section', {class: 'page page-devices'},
                      pageHead('Devices', 'Recorders, cameras and door stations'),
                      errors,
                      h('div', {class: 'card table-card'},
                        h('table', {class: 'table', id: 'device-table'},
                          h('thead', {}, h('tr', {},
                                           ['Device', 'Shop', 'Type', 'Model', 'Channels', 'State',
                                            ''].map((title) => h('th', {}, title)))),
                          body))));

    loadDevices(errors).then((devices) => {
        if (!body.isConnected)
            return;
        fill(body, devices.map((device) => h(
            'tr', {dataset: {device: device.deviceId}},
            h('td', {}, h('strong', {}, device.deviceName),
              h('div', {class: 'muted small'}, device.deviceId)),
            h('td', {}, device.shopName),
            h('td', {}, typeNames[device.deviceType] || device.deviceType),
            h('td', {}, device.deviceModel),
            h('td', {}, device.channels.map((channel) => channel.channelName).join(', ')),
            h('td', {}, statusDot(device.online)),
            h('td', {class: 'actions'},
              isNative() ? h('button', {class: 'button small', type: 'button',
                                        title: 'Open the device\'s own web page',
                                        onclick: () => client.openDeviceWeb(device.deviceId)},
                             'Web page') : null))));
    });
}
