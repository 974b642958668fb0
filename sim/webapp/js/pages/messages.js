// Message centre: the platform's alarm messages, newest first, each with its type, camera, time
// and a snapshot; what is unread; filters by type and day; and the message opened
// ("#/messageCenter?id=M000001") in a dialog where the client plays the recording around the
// alarm, or the camera live.
import {isRead, markRead, onAlarm} from '../alarms.js';
import {client, isNative, Module, notices} from '../bridge.js';
import {h, fill} from '../dom.js';
import {platform} from '../platform.js';
import {state, update} from '../store.js';
import {pageHead, videoFrame} from './parts.js';

const defaultRecordLength = 30; // seconds of recording from the alarm on
const playing = 3; // the video status of a window that shows a picture

let videoListener = null; // the open dialog's, for the client's video status
notices.videoStatus((status) => {
    if (videoListener && status.module === Module.messageDetail)
        videoListener(status);
});

function escapeXml(text) {
    return String(text).replace(/[<>&"]/g, (c) => `&#${c.charCodeAt(0)};`);
}

// A small picture of the camera at the alarm, in the camera's own colour.
function snapshotOf(message) {
    let seed = message.channelId || 0;
    for (const c of String(message.deviceId))
        seed = (seed * 31 + c.charCodeAt(0)) % 360;
    const svg = `<svg xmlns="http://www.w3.org/2000/svg" width="96" height="54" viewBox="0 0 96 54">`
        + `<defs><pattern id="p" width="12" height="12" patternUnits="userSpaceOnUse">`
        + `<rect width="6" height="6" fill="hsl(${seed},22%,34%)"/>`
        + `<rect x="6" y="6" width="6" height="6" fill="hsl(${seed},22%,34%)"/></pattern></defs>`
        + `<rect width="96" height="54" fill="hsl(${seed},25%,26%)"/>`
        + `<rect width="96" height="54" fill="url(#p)"/>`
        + `<rect x="${20 + (seed % 50)}" y="18" width="14" height="22" fill="#D08A3C"/>`
        + `<rect y="42" width="96" height="12" fill="rgba(0,0,0,0.55)"/>`
        + `<text x="4" y="51" font-size="8" font-family="sans-serif" fill="#fff">`
        + `${escapeXml(message.time.slice(11))} ${escapeXml(message.channelName)}</text></svg>`;
    return h('img', {class: 'snapshot', alt: `Snapshot of ${message.channelName}`,
                     src: `data:image/svg+xml,${encodeURIComponent(svg)}`});
}

// The channel of a message as the client opens it.
function channelOf(message) {
    return {
        deviceID: message.deviceId,
        channelID: message.channelId,
        channelName: message.channelName,
        devName: message.deviceName,
        shopCode: message.shopCode,
        shopName: message.shopName,
        isOnline: 1,
    };
}

function rectOf(element) {
    const r = element.getBoundingClientRect();
    return {left: Math.round(r.left), top: Math.round(r.top), right: Math.round(r.right),
            bottom: Math.round(r.bottom)};
}

function detailOf(message, video, actions) {
    const row = (label, key, value) => h('div', {class: 'field'}, h('dt', {}, label),
                                          h('dd', {dataset: {field: key}}, value));
    return h('article', {class: 'message-detail', id: 'message-detail',
                         dataset: {message: message.messageID}},
             h('div', {class: 'message-detail-head'},
               h('span', {class: `type type-${message.messageType}`}, message.title),
               h('h2', {}, message.content)),
             video,
             actions,
             h('dl', {class: 'fields two-columns'},
               row('Time', 'time', message.time),
               row('Shop', 'shopName', message.shopName),
               row('Device', 'deviceName', message.deviceName),
               row('Channel', 'channelName', message.channelName),
               row('Message', 'messageID', message.messageID)));
}

// Shows the message in a dialog over the page; the client lays its video into the dialog's
// video area. Returns the function that closes it (and the client's video).
function openDialog(host, message, onCloseAsked) {
    const video = videoFrame(Module.messageDetail, {title: 'Alarm recording'});
    const status = h('span', {class: 'muted small', id: 'message-video-status'});
    const mode = (id, label, play) => h('button', {class: 'button small', id, type: 'button',
                                                   onclick: () => play()}, label);
    const channels = [channelOf(message)];
    const playRecording = () => {
        status.textContent = 'Recording from the alarm on';
        client.openRecord(Module.messageDetail, message.timestamp,
                          message.recordLength || defaultRecordLength, channels);
    };
    const playLive = () => {
        status.textContent = 'Live';
        client.openVideo(Module.messageDetail, channels);
    };
    const actions = h('div', {class: 'message-actions'},
                      mode('message-recording', 'Alarm recording', playRecording),
                      mode('message-live', 'Live', playLive), status,
                      h('button', {class: 'button primary', id: 'message-close', type: 'button',
                                   onclick: () => onCloseAsked()}, 'Close'));
    const dialog = h('div', {class: 'dialog message-dialog', id: 'message-dialog',
                             role: 'dialog', 'aria-modal': 'true'},
                     detailOf(message, video, actions));
    const backdrop = h('div', {class: 'dialog-backdrop', onclick: (event) => {
        if (event.target === backdrop)
            onCloseAsked();
    }}, dialog);
    const onKey = (event) => {
        if (event.key === 'Escape')
            onCloseAsked();
    };
    host.append(backdrop);
    document.addEventListener('keydown', onKey);
    if (!isNative())
        return () => {
            document.removeEventListener('keydown', onKey);
            backdrop.remove();
        };

    // The client keeps its video on the area and inside the dialog.
    const place = () => {
        client.dialogRect(Module.messageDetail, rectOf(dialog));
        client.setVideoArea(Module.messageDetail, rectOf(video));
    };
    const resized = new ResizeObserver(place);
    videoListener = (news) => {
        video.dataset.status = String(news.status);
        video.classList.toggle('playing', news.status === playing);
    };
    requestAnimationFrame(() => {
        place();
        resized.observe(video);
        window.addEventListener('resize', place);
        playRecording();
    });
    return () => {
        resized.disconnect();
        window.removeEventListener('resize', place);
        document.removeEventListener('keydown', onKey);
        videoListener = null;
        client.closeVideo(Module.messageDetail, message.deviceId, message.channelId);
        backdrop.remove();
    };
}

function filtersOf(messages, filter, onChange) {
    const types = new Map();
    for (const message of messages) {
        const entry = types.get(message.messageType) || {title: message.title, unread: 0};
        entry.unread += isRead(message.messageID) ? 0 : 1;
        types.set(message.messageType, entry);
    }
    const type = h('select', {id: 'message-type', 'aria-label': 'Type',
                              onchange: (event) => onChange({type: event.target.value})},
                   h('option', {value: ''}, 'All types'),
                   [...types].map(([value, entry]) => h(
                       'option', {value: String(value), selected: String(value) === filter.type},
                       entry.unread ? `${entry.title} (${entry.unread})` : entry.title)));
    const day = h('input', {id: 'message-day', type: 'date', 'aria-label': 'Day',
                            value: filter.day,
                            onchange: (event) => onChange({day: event.target.value})});
    return h('div', {class: 'message-filters'}, type, day);
}

function rowOf(message, openId) {
    const unread = !isRead(message.messageID);
    return h('a', {class: `message-row${message.messageID === openId ? ' active' : ''}`
                       + `${unread ? ' unread' : ''}`,
                   href: `#/messageCenter?id=${encodeURIComponent(message.messageID)}`,
                   dataset: {message: message.messageID, type: String(message.messageType)}},
             snapshotOf(message),
             h('div', {class: 'message-main'},
               h('div', {class: 'message-line'},
                 h('span', {class: `type type-${message.messageType}`}, message.title),
                 unread ? h('span', {class: 'unread-dot', title: 'Unread'}) : null),
               h('span', {class: 'message-camera'},
                 `${message.channelName} · ${message.deviceName}`),
               h('span', {class: 'muted small'}, `${message.shopName} · ${message.time}`)));
}

export function render(container, {query, navigate}) {
    const openId = query.id || '';
    const filter = {type: query.type || '', day: query.day || ''};
    const list = h('div', {class: 'message-list', id: 'message-list'},
                   h('p', {class: 'muted'}, 'Loading…'));
    const filters = h('div', {});
    const unreadCount = h('span', {class: 'muted', id: 'message-unread'});
    const markAll = h('button', {class: 'button small', id: 'message-mark-read', type: 'button',
                                 onclick: () => {
                                     messages.forEach((message) => markRead(message.messageID));
                                     showList();
                                 }}, 'Mark all as read');
    const detail = h('div', {class: 'panel detail-panel'});
    let messages = [];
    let closeDialog = null;

    const showList = () => {
        const shown = messages.filter((message) =>
            (!filter.type || String(message.messageType) === filter.type)
            && (!filter.day || message.time.startsWith(filter.day)));
        const unread = messages.filter((message) => !isRead(message.messageID)).length;
        unreadCount.textContent = unread ? `${unread} unread` : 'All read';
        unreadCount.dataset.unread = String(unread);
        fill(filters, filtersOf(messages, filter, (change) => {
            Object.assign(filter, change);
            showList();
        }));
        fill(list, shown.length === 0
            ? h('p', {class: 'muted'}, messages.length ? 'No messages match.' : 'No alarm messages.')
            : shown.map((message) => rowOf(message, openId)));
    };
    const showDetail = () => {
        const message = messages.find((entry) => entry.messageID === openId);
        fill(detail, h('p', {class: 'muted', id: 'message-none'},
                       openId && !message ? 'This message is no longer kept by the platform.'
                                          : 'Choose a message to see its details.'));
        if (!message || closeDialog)
            return;
        markRead(message.messageID);
        showList();
        closeDialog = openDialog(container, message, () => navigate('messageCenter'));
    };

    fill(container, h('section', {class: 'page page-messages'},
                      pageHead('Message centre', 'Alarms raised by the devices of your shops',
                               unreadCount, markAll),
                      h('div', {class: 'split-layout wide-list'},
                        h('aside', {class: 'panel'}, filters, list), detail)));
    update({unread: 0});

    let stopped = false;
    const stopFeed = onAlarm((message) => {
        messages.unshift(message);
        showList();
    });
    platform.messages(state.user.token, 0).then((data) => {
        if (stopped)
            return;
        const known = new Set(messages.map((message) => message.messageID));
        messages = messages.concat(data.messages.reverse().filter(
            (message) => !known.has(message.messageID)));
        showList();
        showDetail();
    }).catch((error) => {
        if (!stopped)
            fill(list, h('p', {class: 'form-message'}, error.message));
    });
    return () => {
        stopped = true;
        stopFeed();
        if (closeDialog)
            closeDialog();
    };
}
