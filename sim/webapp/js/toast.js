// Notices shown inside the page. Inside the client the desktop notifier shows them instead;
// in a plain browser these take its place.
import {h} from './dom.js';

const shownMs = 8000;

// Shows a notice; onClick (optional) runs when it is clicked, which also closes it.
export function showToast({title, text, kind = 'info', onClick = null}) {
    const box = document.getElementById('toasts');
    const toast = h('div', {class: `toast toast-${kind}`, role: 'status'},
                    h('div', {class: 'toast-title'}, title),
                    text ? h('div', {class: 'toast-text'}, text) : null);
    const close = () => toast.remove();
    toast.addEventListener('click', () => {
        close();
        if (onClick)
            onClick();
    });
    if (onClick)
        toast.classList.add('toast-link');
    box.append(toast);
    setTimeout(close, shownMs);
}
