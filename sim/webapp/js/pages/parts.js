// Pieces several pages share.
import {isNative} from '../bridge.js';
import {h} from '../dom.js';
import {icons} from '../icons.js';
import {platform} from '../platform.js';
import {state} from '../store.js';

export function pageHead(title, subtitle, ...actions) {
    return h('div', {class: 'page-head'},
             h('div', {}, h('h1', {class: 'page-title'}, title),
               subtitle ? h('p', {class: 'muted'}, subtitle) : null),
             h('div', {class: 'page-actions'}, actions));
}

// The area where the client lays its native video over the page (module: the module number
// the page's video requests carry). Until that video is there it shows what will play here
// (text, when the page has its own words for it).
export function videoFrame(module, {title, tiles = 1, text = null}) {
    const note = text || (isNative()
        ? 'Video is not available in this version of the client.'
        : 'Video plays in the Orvane desktop client.');
    const grid = h('div', {class: `video-grid tiles-${tiles}`});
    for (let i = 0; i < tiles; ++i)
        grid.append(h('div', {class: 'video-tile'},
                      h('span', {class: 'tile-index'}, String(i + 1))));
    return h('div', {class: 'video-frame', dataset: {module: String(module)}},
             grid,
             h('div', {class: 'video-note'}, h('span', {html: icons.play}),
               h('strong', {}, title), h('span', {class: 'video-note-text'}, note)));
}

export function statusDot(online) {
    return h('span', {class: online ? 'dot online' : 'dot offline'}, online ? 'Online' : 'Offline');
}

// The devices of the platform for the logged-in user; shows an error in place on failure.
export async function loadDevices(errorPlace) {
    try {
        return await platform.devices(state.user.token);
    } catch (error) {
        errorPlace.replaceChildren(h('p', {class: 'form-message'}, error.message));
        return [];
    }
}

// Groups devices by shop, in the order the platform lists them: [{shopName, devices}].
export function byShop(devices) {
    const shops = new Map();
    for (const device of devices) {
        if (!shops.has(device.shopName))
            shops.set(device.shopName, []);
        shops.get(device.shopName).push(device);
    }
    return [...shops].map(([shopName, list]) => ({shopName, devices: list}));
}
