// Devices: every recorder, camera and door station with its shop, channels and state, and the
// device's own web page opened by the desktop client in the system browser.
import {client, isNative, notices} from '../bridge.js';
import {h, fill} from '../dom.js';
import {loadDevices, pageHead, statusDot} from './parts.js';

const typeNames = {recorder: 'Recorder', camera: 'Camera', door: 'Door station'};
const webTexts = {
    opening: 'Opening…',
    open: 'Opened in your browser',
    failed: 'Could not be opened',
};

// The client answers each "Open device web page" with one state, without naming the device:
// the answers are matched to the devices in the order they were asked for.
const waiting = [];
const webStates = new Map(); // deviceId -> 'opening' | 'open' | 'failed'
let showStates = () => {};
let listening = false;

function listen() {
    if (listening)
        return;
    listening = true;
    notices.deviceWebState((opened) => {
        const deviceId = waiting.shift();
        if (deviceId === undefined)
            return;
        webStates.set(deviceId, opened ? 'open' : 'failed');
        showStates();
    });
}

function openWeb(deviceId) {
    waiting.push(deviceId);
    webStates.set(deviceId, 'opening');
    showStates();
    client.openDeviceWeb(deviceId);
}

function webCell(device) {
    const state = webStates.get(device.deviceId);
    return h('td', {class: 'actions'},
             h('button', {class: 'button small', type: 'button', dataset: {action: 'open-web'},
                          title: 'Open the device\'s own configuration page in your browser',
                          onclick: () => openWeb(device.deviceId)},
               'Open device web page'),
             state ? h('div', {class: `muted small web-state web-${state}`,
                               dataset: {webState: state}}, webTexts[state]) : null);
}

function deviceRow(device) {
    return h('tr', {dataset: {device: device.deviceId}},
             h('td', {}, h('strong', {}, device.deviceName),
               h('div', {class: 'muted small'}, device.deviceId)),
             h('td', {}, device.shopName),
             h('td', {}, typeNames[device.deviceType] || device.deviceType),
             h('td', {}, device.deviceModel),
             h('td', {}, device.channels.map((channel) => channel.channelName).join(', ')),
             h('td', {}, statusDot(device.online)),
             isNative() ? webCell(device) : h('td', {}));
}

export function render(container) {
    listen();
    const body = h('tbody', {}, h('tr', {}, h('td', {colspan: 7, class: 'muted'}, 'Loading…')));
    const errors = h('div', {});
    // The device list is fetched again by the client with a new device-platform token.
    const refresh = isNative()
        ? h('button', {class: 'button', type: 'button', id: 'refresh-device-access',
                       title: 'Renew the client\'s access to the devices',
                       onclick: () => client.requestDeviceToken()}, 'Refresh device access')
        : null;
    fill(container, h('section', {class: 'page page-devices'},
                      pageHead('Devices', 'Recorders, cameras and door stations', refresh),
                      errors,
                      h('div', {class: 'card table-card'},
                        h('table', {class: 'table', id: 'device-table'},
                          h('thead', {}, h('tr', {},
                                           ['Device', 'Shop', 'Type', 'Model', 'Channels', 'State',
                                            ''].map((title) => h('th', {}, title)))),
                          body))));

    let devices = [];
    showStates = () => {
        if (body.isConnected && devices.length)
            fill(body, devices.map(deviceRow));
    };
    loadDevices(errors).then((list) => {
        devices = list;
        showStates();
    });
    return () => {
        showStates = () => {};
    };
}
