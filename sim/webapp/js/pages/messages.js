// Message centre: the platform's alarm messages, newest first, and the one opened
// ("#/messageCenter?id=M000001") with the place where its recording plays.
import {onAlarm} from '../alarms.js';
import {Module} from '../bridge.js';
import {h, fill} from '../dom.js';
import {platform} from '../platform.js';
import {state, update} from '../store.js';
import {pageHead, videoFrame} from './parts.js';

function detailOf(message) {
    const row = (label, key, value) => h('div', {class: 'field'}, h('dt', {}, label),
                                          h('dd', {dataset: {field: key}}, value));
    return h('article', {class: 'message-detail', id: 'message-detail',
                         dataset: {message: message.messageID}},
             h('div', {class: 'message-detail-head'},
               h('span', {class: `type type-${message.messageType}`}, message.title),
               h('h2', {}, message.content)),
             h('dl', {class: 'fields two-columns'},
               row('Time', 'time', message.time),
               row('Shop', 'shopName', message.shopName),
               row('Device', 'deviceName', message.deviceName),
               row('Channel', 'channelName', message.channelName),
               row('Message', 'messageID', message.messageID)),
             videoFrame(Module.messageDetail, {title: 'Alarm recording'}));
}

export function render(container, {query}) {
    const openId = query.id || '';
    const list = h('div', {class: 'message-list', id: 'message-list'},
                   h('p', {class: 'muted'}, 'Loading…'));
    const detail = h('div', {class: 'panel detail-panel'});
    let messages = [];

    const showList = () => fill(list, messages.length === 0
        ? h('p', {class: 'muted'}, 'No alarm messages.')
        : messages.map((message) => h(
            'a', {class: message.messageID === openId ? 'message-row active' : 'message-row',
                  href: `#/messageCenter?id=${encodeURIComponent(message.messageID)}`,
                  dataset: {message: message.messageID}},
            h('span', {class: `type type-${message.messageType}`}, message.title),
            h('span', {class: 'message-text'}, message.content),
            h('span', {class: 'muted small'}, message.time))));
    const showDetail = () => {
        const message = messages.find((entry) => entry.messageID === openId);
        if (message)
            fill(detail, detailOf(message));
        else
            fill(detail, h('p', {class: 'muted', id: 'message-none'},
                           openId ? 'This message is no longer kept by the platform.'
                                  : 'Choose a message to see its details.'));
    };

    fill(container, h('section', {class: 'page page-messages'},
                      pageHead('Message centre', 'Alarms raised by the devices of your shops'),
                      h('div', {class: 'split-layout wide-list'},
                        h('aside', {class: 'panel'}, list), detail)));
    showDetail();
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
    };
}
