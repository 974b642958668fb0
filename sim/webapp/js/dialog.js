// A modal question inside the page.
import {h} from './dom.js';

let open = false; // a question is on screen

// Asks a question; resolves to true when the confirming button was chosen. Escape and the
// backdrop count as cancel. While a question is on screen another one is not shown: it is
// answered false at once.
export function confirmDialog(question) {
    if (open)
        return Promise.resolve(false);
    open = true;
    return ask(question).finally(() => {
        open = false;
    });
}

function ask({title, text, confirmLabel, cancelLabel = 'Cancel', danger = false}) {
    return new Promise((resolve) => {
        const host = document.getElementById('dialogs');
        const finish = (answer) => {
            document.removeEventListener('keydown', onKey);
            backdrop.remove();
            resolve(answer);
        };
        const onKey = (event) => {
            if (event.key === 'Escape')
                finish(false);
        };
        const confirm = h('button', {class: danger ? 'button danger' : 'button primary',
                                     id: 'dialog-confirm', type: 'button',
                                     onclick: () => finish(true)}, confirmLabel);
        const backdrop = h('div', {class: 'dialog-backdrop', onclick: (event) => {
            if (event.target === backdrop)
                finish(false);
        }},
            h('div', {class: 'dialog', role: 'alertdialog', 'aria-modal': 'true'},
              h('h2', {class: 'dialog-title'}, title),
              h('p', {class: 'dialog-text'}, text),
              h('div', {class: 'dialog-buttons'},
                h('button', {class: 'button', id: 'dialog-cancel', type: 'button',
                             onclick: () => finish(false)}, cancelLabel),
                confirm)));
        host.replaceChildren(backdrop);
        document.addEventListener('keydown', onKey);
        confirm.focus();
    });
}
