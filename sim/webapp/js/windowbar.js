// The window buttons of the frameless client window, drawn by the page: minimise, full screen
// and close. The full-screen button follows what the client reports, not its own clicks: the
// client may also toggle full screen by itself (a double click on its title strip).
import {client} from './bridge.js';
import {h} from './dom.js';
import {icons} from './icons.js';
import {state, subscribe} from './store.js';

export function windowButtons() {
    const fullScreen = h('button', {class: 'window-button', id: 'win-fullscreen', type: 'button',
                                    onclick: () => client.setFullScreen(!state.fullScreen)});
    const bar = h('div', {class: 'window-buttons'},
                  h('button', {class: 'window-button', id: 'win-min', type: 'button',
                               title: 'Minimise', html: icons.minimize,
                               onclick: () => client.minimize()}),
                  fullScreen,
                  h('button', {class: 'window-button window-close', id: 'win-close', type: 'button',
                               title: 'Close', html: icons.close,
                               onclick: () => client.closeApp()}));
    const show = () => {
        fullScreen.innerHTML = state.fullScreen ? icons.restore : icons.maximize;
        fullScreen.title = state.fullScreen ? 'Restore' : 'Full screen';
        fullScreen.dataset.on = String(state.fullScreen);
    };
    show();
    const stop = subscribe((changes) => {
        if (!bar.isConnected)
            stop();
        else if ('fullScreen' in changes)
            show();
    });
    return bar;
}
