// About: the platform and the desktop client (as the client reports itself), and a notice
// sent to the desktop to check that notices reach the operator.
import {client, isNative} from '../bridge.js';
import {h, fill} from '../dom.js';
import {state, subscribe} from '../store.js';
import {showToast} from '../toast.js';
import {pageHead} from './parts.js';

function clientCard() {
    if (!isNative())
        return h('div', {class: 'card', id: 'client-info'}, h('h2', {}, 'Desktop client'),
                 h('p', {class: 'note'}, 'Open this console in the Orvane desktop client to see '
                                         + 'its version and system.'));
    const info = state.clientInfo;
    const row = (label, key, value) => h('div', {class: 'field'}, h('dt', {}, label),
                                          h('dd', {dataset: {field: key}}, value));
    return h('div', {class: 'card', id: 'client-info'}, h('h2', {}, 'Desktop client'),
             info ? h('dl', {class: 'fields'},
                      row('Version', 'version', info.version),
                      row('System', 'sysVersion', info.sysVersion),
                      row('Processor', 'sysBit', `${info.sysBit}-bit`),
                      row('Network address', 'macAddr', info.macAddr))
                 : h('p', {class: 'muted'}, 'Asking the client…'));
}

const vendorUrl = 'https://www.orvane.example/';

// A link that the client opens in the system's browser (open: the bridge call); a plain link
// in a browser.
function outsideLink(id, label, url, open) {
    const onclick = (event) => {
        if (!isNative())
            return;
        event.preventDefault();
        open(url);
    };
    return h('a', {id, href: url, target: '_blank', rel: 'noopener', onclick}, label);
}

function helpCard() {
    const consoleUrl = `${location.origin}/#/login`;
    return h('div', {class: 'card', id: 'help-links'}, h('h2', {}, 'Help and support'),
             h('ul', {class: 'link-list'},
               h('li', {}, outsideLink('help-link', 'Console help', `${location.origin}/help.html`,
                                       client.openUrl)),
               h('li', {}, outsideLink('vendor-link', 'Orvane website', vendorUrl,
                                       client.openUrl)),
               isNative() ? h('li', {}, outsideLink('console-in-browser',
                                                    'Open this console in your browser',
                                                    consoleUrl, client.openUrlInBrowser))
                          : null));
}

function noticeCard() {
    const text = h('input', {id: 'notice-text', value: 'Test notice from the platform console'});
    const send = (event) => {
        event.preventDefault();
        const content = text.value.trim();
        if (!content)
            return;
        if (isNative())
            client.textNotice(content);
        else
            showToast({title: 'Notice', text: content});
    };
    return h('form', {class: 'card', id: 'notice-form', onsubmit: send},
             h('h2', {}, 'Desktop notice'),
             h('p', {class: 'muted'}, 'Shows a notice on the operator\'s desktop.'),
             h('div', {class: 'inline-form'}, text,
               h('button', {class: 'button primary', id: 'notice-send', type: 'submit'},
                 'Send notice')));
}

export function render(container) {
    const clientPlace = h('div', {});
    const show = () => fill(clientPlace, clientCard());
    show();
    fill(container, h('section', {class: 'page page-about'},
                      pageHead('About', 'Orvane video surveillance platform'),
                      h('div', {class: 'cards'},
                        h('div', {class: 'card'}, h('h2', {}, 'Platform'),
                          h('dl', {class: 'fields'},
                            h('div', {class: 'field'}, h('dt', {}, 'Address'),
                              h('dd', {}, location.origin)),
                            h('div', {class: 'field'}, h('dt', {}, 'Signed in as'),
                              h('dd', {}, `${state.user.userName} (${state.user.userType})`)))),
                        clientPlace, helpCard(), noticeCard())));
    const stop = subscribe((changes) => {
        if ('clientInfo' in changes)
            show();
    });
    client.getClientInfo();
    return stop;
}
