// Video surveillance: the cameras of every shop beside the split frame of live video.
import {Module} from '../bridge.js';
import {h, fill} from '../dom.js';
import {byShop, loadDevices, pageHead, statusDot, videoFrame} from './parts.js';

const splits = [1, 4, 9, 16];

export function render(container, {query}) {
    let tiles = splits.includes(Number(query.split)) ? Number(query.split) : 4;
    const tree = h('div', {class: 'tree', id: 'camera-tree'},
                   h('p', {class: 'muted'}, 'Loading…'));
    const frameHost = h('div', {class: 'frame-host'});
    const splitButtons = h('div', {class: 'segmented', id: 'split'});

    const showSplit = () => {
        fill(splitButtons, splits.map((count) => h(
            'button', {type: 'button', class: count === tiles ? 'active' : '',
                       dataset: {split: String(count)},
                       onclick: () => {
                           tiles = count;
                           showSplit();
                       }},
            String(count))));
        fill(frameHost, videoFrame(Module.liveView, {title: 'Live view', tiles}));
    };
    showSplit();

    fill(container, h('section', {class: 'page page-video'},
                      pageHead('Live view', 'Watch the cameras of your shops', splitButtons),
                      h('div', {class: 'split-layout'},
                        h('aside', {class: 'panel'}, h('h2', {class: 'panel-title'}, 'Cameras'),
                          tree),
                        frameHost)));

    loadDevices(tree).then((devices) => {
        const cameras = devices.filter((device) => device.deviceType !== 'door');
        if (!tree.isConnected || cameras.length === 0)
            return;
        fill(tree, byShop(cameras).map(({shopName, devices: list}) => h(
            'details', {open: true}, h('summary', {}, shopName),
            list.map((device) => h(
                'div', {class: 'tree-device'},
                h('div', {class: 'tree-device-name'}, device.deviceName, statusDot(device.online)),
                device.channels.map((channel) => h(
                    'div', {class: 'tree-channel', dataset: {device: device.deviceId,
                                                            channel: String(channel.channelId)}},
                    channel.channelName)))))));
    });
}
