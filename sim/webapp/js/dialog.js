// A modal question inside the page.
import {h} from './dom.js';

let open = null; // the question on screen, as a promise of its answer

// Asks a question; resolves to true when the confirming button was chosen. Escape and the
// backdrop count as cancel. While a question is on screen, asking again gives its answer.
export function confirmDialog({title, text, confirmLabel, cancelLabel = 'Cancel', danger = false}) {
    if (!open)
        open = ask({title, text, confirmLabel, cancelLabel, danger}).finally(() => {
            open = null;
        });
    return open;
}

function ask({title, text, confirmLabel, cancelLabel, danger}) {
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
