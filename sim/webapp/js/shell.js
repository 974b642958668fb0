// The console's frame once logged in: the top bar (brand, tabs of the open menus, alarm bell,
// user menu, window buttons), the navigation on the left and the page area.
import {h, fill} from './dom.js';
import {icons} from './icons.js';
import {state, subscribe} from './store.js';
import {windowButtons} from './windowbar.js';

// Builds the frame inside root; the page area is .content. actions: {navigate, logout, closeTab}.
export function createShell(root, actions) {
    const tabs = h('nav', {class: 'tabs', id: 'tabs'});
    const bell = h('button', {class: 'bell', id: 'alarm-bell', type: 'button',
                              title: 'Message centre', html: icons.messageCenter,
                              onclick: () => actions.navigate('messageCenter')});
    const userMenu = h('div', {class: 'user-menu', id: 'user-menu'});
    const nav = h('nav', {class: 'sidebar', id: 'sidebar'});
    const content = h('main', {class: 'content', id: 'content'});
    let active = '';

    fill(root, h('div', {class: 'shell'},
                 h('header', {class: 'topbar'},
                   h('div', {class: 'brand'}, h('img', {src: 'img/logo.svg', alt: ''}),
                     h('span', {}, 'Orvane')),
                   tabs,
                   h('div', {class: 'topbar-right'}, bell, userMenu, windowButtons())),
                 nav, content));

    const menuName = (path) => {
        const menu = state.menus.find((entry) => entry.menuPath === path);
        return menu ? menu.menuName : path;
    };
    const badge = (path) => (path === 'messageCenter' && state.unread > 0
        ? h('span', {class: 'badge', id: 'unread-badge'}, String(state.unread)) : null);

    const showNav = () => fill(nav, state.menus.filter((menu) => menu.menuNavigation).map(
        (menu) => h('a', {class: menu.menuPath === active ? 'nav-item active' : 'nav-item',
                          href: `#/${menu.menuPath}`, dataset: {menu: menu.menuPath}},
                    h('span', {html: icons[menu.menuPath] || icons.menu}),
                    h('span', {class: 'nav-label'}, menu.menuName), badge(menu.menuPath))));

    const showTabs = () => fill(tabs, state.tabs.map((path) => h(
        'div', {class: path === active ? 'tab active' : 'tab', dataset: {tab: path}},
        h('a', {href: `#/${path}`}, menuName(path)),
        state.tabs.length > 1
            ? h('button', {class: 'tab-close', type: 'button', title: 'Close',
                           html: icons.close, onclick: () => actions.closeTab(path)})
            : null)));

    const showUser = () => {
        const user = state.user || {};
        const hasAbout = state.menus.some((menu) => menu.menuPath === 'about');
        fill(userMenu,
             h('button', {class: 'user-chip', type: 'button', id: 'user-chip',
                          onclick: () => userMenu.classList.toggle('open')},
               user.userPhoto
                   ? h('img', {class: 'avatar', src: user.userPhoto, alt: ''})
                   : h('span', {class: 'avatar'}, (user.userName || '?').slice(0, 1).toUpperCase()),
               h('span', {class: 'user-name'}, user.userName)),
             h('div', {class: 'user-popup'},
               h('div', {class: 'user-popup-head'}, h('strong', {}, user.userName),
                 h('span', {class: 'muted'}, user.userType)),
               h('a', {href: '#/profile', class: 'popup-item', id: 'profile-link',
                       onclick: () => userMenu.classList.remove('open')},
                 h('span', {html: icons.about}), 'Profile'),
               hasAbout ? h('a', {href: '#/about', class: 'popup-item',
                                  onclick: () => userMenu.classList.remove('open')},
                            h('span', {html: icons.about}), 'About') : null,
               h('button', {class: 'popup-item', id: 'logout', type: 'button',
                            onclick: () => actions.logout()},
                 h('span', {html: icons.logout}), 'Log out')));
    };

    const showBell = () => {
        bell.dataset.unread = String(state.unread);
        fill(bell).innerHTML = icons.messageCenter;
        if (state.unread > 0)
            bell.append(h('span', {class: 'badge'}, String(state.unread)));
    };

    const showAll = () => {
        showNav();
        showTabs();
        showUser();
        showBell();
    };
    showAll();
    const stop = subscribe((changes) => {
        if (!content.isConnected)
            stop();
        else if ('tabs' in changes || 'menus' in changes || 'unread' in changes
                 || 'user' in changes)
            showAll();
    });
    const closeUserMenu = (event) => {
        if (!content.isConnected)
            document.removeEventListener('click', closeUserMenu);
        else if (!userMenu.contains(event.target))
            userMenu.classList.remove('open');
    };
    document.addEventListener('click', closeUserMenu);

    return {
        content,
        setActive(path) {
            active = path;
            showAll();
        },
    };
}
