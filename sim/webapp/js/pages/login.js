// The login page ("#/login?isFromC=1"): user name and password against the platform.
import {isNative} from '../bridge.js';
import {h, fill} from '../dom.js';
import {platform} from '../platform.js';
import {windowButtons} from '../windowbar.js';

// options: {notice: text shown above the form, onLoggedIn(data of the login answer)}
export function render(root, {notice, onLoggedIn}) {
    const userName = h('input', {id: 'login-user', name: 'userName', autocomplete: 'username',
                                 required: true, autofocus: true});
    const password = h('input', {id: 'login-password', name: 'password', type: 'password',
                                 autocomplete: 'current-password', required: true});
    const message = h('p', {class: notice ? 'form-message' : 'form-message hidden',
                            id: 'login-message', role: 'alert'}, notice);
    const submit = h('button', {class: 'button primary wide', id: 'login-submit', type: 'submit'},
                     'Sign in');

    const fail = (text) => {
        message.textContent = text;
        message.classList.remove('hidden');
    };
    const onSubmit = async (event) => {
        event.preventDefault();
        if (!userName.value.trim() || !password.value) {
            fail('Enter your user name and password.');
            return;
        }
        submit.disabled = true;
        message.classList.add('hidden');
        try {
            const data = await platform.login(userName.value.trim(), password.value);
            onLoggedIn(data);
        } catch (error) {
            fail(error.status === 401 ? 'Wrong user name or password.' : error.message);
            password.select();
        } finally {
            submit.disabled = false;
        }
    };

    fill(root, h('div', {class: 'login'},
                 h('div', {class: 'login-bar'}, windowButtons()),
                 h('form', {class: 'login-card', id: 'login-form', onsubmit: onSubmit},
                   h('img', {class: 'login-logo', src: 'img/logo.svg', alt: ''}),
                   h('h1', {}, 'Orvane'),
                   h('p', {class: 'muted'}, 'Video surveillance for every shop, site and depot'),
                   message,
                   h('label', {for: 'login-user'}, 'User name'), userName,
                   h('label', {for: 'login-password'}, 'Password'), password,
                   submit,
                   isNative() ? null : h('p', {class: 'note', id: 'browser-note'},
                                         'You are using the web console. Live video, talk and '
                                         + 'downloads need the Orvane desktop client.'))));
    userName.focus();
}
