// Profile: the signed-in user's display name and picture. A change is kept for this session
// and told to the desktop client, whose own displays follow it.
import {client, isNative} from '../bridge.js';
import {h, fill} from '../dom.js';
import {saveSession, state, update} from '../store.js';
import {pageHead} from './parts.js';

const colours = ['#2f6fde', '#1f9d6b', '#c2571a', '#8a3ffc'];

// A round picture with the name's first letter on a colour, as an address an <img> can show.
export function pictureOf(name, colour) {
    const letter = (name || '?').slice(0, 1).toUpperCase().replace(/[<&>"]/g, '');
    const svg = '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64">'
        + `<circle cx="32" cy="32" r="32" fill="${colour}"/>`
        + '<text x="32" y="42" font-family="sans-serif" font-size="30" fill="#fff" '
        + `text-anchor="middle">${letter}</text></svg>`;
    return `data:image/svg+xml;utf8,${encodeURIComponent(svg)}`;
}

export function render(container) {
    const user = state.user;
    const name = h('input', {id: 'profile-name', value: user.userName, maxlength: 40,
                             required: true});
    let colour = colours[0];
    const preview = h('img', {class: 'avatar large', id: 'profile-preview', alt: ''});
    const showPreview = () => preview.setAttribute('src', pictureOf(name.value.trim(), colour));
    name.addEventListener('input', showPreview);
    const swatches = colours.map((value) => h('button', {
        class: 'swatch', type: 'button', style: `background:${value}`, title: value,
        dataset: {colour: value},
        onclick: () => {
            colour = value;
            showPreview();
        },
    }));
    const message = h('p', {class: 'muted', id: 'profile-message'});
    const save = (event) => {
        event.preventDefault();
        const userName = name.value.trim();
        if (!userName)
            return;
        const changed = {...state.user, userName, userPhoto: pictureOf(userName, colour)};
        update({user: changed});
        saveSession();
        if (isNative())
            client.userChanged(changed);
        message.textContent = 'Saved.';
    };
    showPreview();
    fill(container, h('section', {class: 'page page-profile'},
                      pageHead('Profile', 'How you appear in the console and the client'),
                      h('form', {class: 'card', id: 'profile-form', onsubmit: save},
                        h('div', {class: 'field'}, h('label', {for: 'profile-name'},
                                                     'Display name'), name),
                        h('div', {class: 'field'}, h('span', {}, 'Picture'), preview, swatches),
                        h('button', {class: 'button primary', id: 'profile-save',
                                     type: 'submit'}, 'Save'),
                        message)));
}
