// The Orvane platform console: start-up, the routes and the login session.
//
// Routes live in the address's fragment: "#/login?isFromC=1" (the client opens this one), then
// one route per menu path ("#/videoSurveillance", "#/messageCenter?id=M000001", ...). Switching
// to another menu tells the client (NotifySwitchMenu), which shows its native module of that
// menu over the page.
import {clearRead, onAlarm, startAlarms, stopAlarms} from './alarms.js';
import {client, connect, notices} from './bridge.js';
import {confirmDialog} from './dialog.js';
import {h} from './dom.js';
import {platform} from './platform.js';
import {createShell} from './shell.js';
import {clearSession, restoreSession, saveSession, state, update} from './store.js';
import * as about from './pages/about.js';
import * as devices from './pages/devices.js';
import * as door from './pages/door.js';
import * as exportsPage from './pages/exports.js';
import * as login from './pages/login.js';
import * as messages from './pages/messages.js';
import * as profile from './pages/profile.js';
import * as video from './pages/video.js';

const pages = {
    videoSurveillance: video,
    accessControl: door,
    messageCenter: messages,
    deviceList: devices,
    exportCenter: exportsPage,
    about,
};

// Pages of the user menu that every signed-in user has, whatever the platform's menus: no tab.
const userPages = {profile};

const root = document.getElementById('app');
let shell = null;
let leavePage = null; // cleans up after the page on screen
let toldMenu = null; // the menu path the client was last told about
let loginQuery = {}; // the login route's query as first given (the client adds isFromC=1)
let loginNotice = '';

function parseHash() {
    const text = location.hash.replace(/^#\/?/, '');
    const question = text.indexOf('?');
    const path = question < 0 ? text : text.slice(0, question);
    const query = question < 0 ? '' : text.slice(question + 1);
    return {path, query: Object.fromEntries(new URLSearchParams(query))};
}

export function navigate(path, query = {}) {
    const search = new URLSearchParams(query).toString();
    location.hash = `#/${path}${search ? `?${search}` : ''}`;
}

function firstMenu() {
    const navigable = state.menus.find((menu) => menu.menuNavigation);
    return (navigable || state.menus[0] || {menuPath: ''}).menuPath;
}

function route() {
    const {path, query} = parseHash();
    if (leavePage) {
        leavePage();
        leavePage = null;
    }
    if (!state.user) {
        if (path !== 'login') {
            navigate('login', loginQuery);
            return;
        }
        loginQuery = query;
        showLogin();
        return;
    }
    const menu = state.menus.find((entry) => entry.menuPath === path);
    if (!menu && !userPages[path]) {
        showNoMenu(path);
        return;
    }
    if (!shell)
        shell = createShell(root, {navigate, logout, closeTab});
    if (menu && !state.tabs.includes(path))
        update({tabs: [...state.tabs, path]});
    if (toldMenu !== path) {
        toldMenu = path;
        client.switchMenu(path);
    }
    shell.setActive(path);
    const page = pages[path] || userPages[path];
    leavePage = page ? page.render(shell.content, {query, navigate})
                     : unknownPage(shell.content, menu);
}

function showLogin() {
    shell = null;
    leavePage = login.render(root, {notice: loginNotice, onLoggedIn: loggedIn});
    loginNotice = '';
}

function showNoMenu(path) {
    const first = firstMenu();
    if (first && first !== path) {
        navigate(first);
        return;
    }
    shell = null;
    root.replaceChildren(h('div', {class: 'empty-state'},
                           h('h1', {}, 'No pages for this account'),
                           h('p', {}, 'Ask an administrator to give your account access.'),
                           h('button', {class: 'button', onclick: () => logout()}, 'Log out')));
}

function unknownPage(container, menu) {
    container.replaceChildren(h('section', {class: 'page'},
                                h('h1', {class: 'page-title'}, menu.menuName),
                                h('p', {class: 'muted'},
                                  'This page is not part of this console.')));
}

function loggedIn(data) {
    const user = {
        userName: data.userName,
        userType: data.userType,
        userPhoto: data.userPhoto,
        token: data.token,
    };
    update({user, menus: data.menuList || [], tabs: [], unread: 0});
    saveSession();
    client.loginSucceeded(user, state.menus);
    watchAlarms();
    navigate(firstMenu());
}

function watchAlarms() {
    startAlarms(state.user.token, {
        onOpen: (messageID) => navigate('messageCenter', {id: messageID}),
        onSessionEnded: () => logout('Your session has ended. Please sign in again.'),
    });
}

export function logout(notice = '') {
    const token = state.user && state.user.token;
    stopAlarms();
    clearRead();
    clearSession();
    toldMenu = null;
    loginNotice = notice;
    client.loggedOut();
    if (token)
        platform.logout(token).catch((error) => console.warn('logout:', error.message));
    navigate('login', loginQuery);
}

function closeTab(path) {
    const index = state.tabs.indexOf(path);
    if (index < 0 || state.tabs.length < 2)
        return;
    const tabs = state.tabs.filter((tab) => tab !== path);
    update({tabs});
    client.closeMenu(path);
    if (parseHash().path === path)
        navigate(tabs[Math.min(index, tabs.length - 1)]);
}

async function askToQuit() {
    const quit = await confirmDialog({
        title: 'Quit Orvane?',
        text: 'Live video, talk and downloads in progress will stop.',
        confirmLabel: 'Quit',
        danger: true,
    });
    if (quit)
        client.closeApp();
}

async function start() {
    const native = await connect();
    document.body.classList.toggle('native', native);
    notices.clientInfo((info) => update({clientInfo: info}));
    notices.fullScreen((on) => update({fullScreen: on}));
    notices.messageClicked((messageID) => {
        if (state.user)
            navigate('messageCenter', messageID ? {id: messageID} : {});
    });
    notices.closeRequested(askToQuit);
    onAlarm(() => {
        if (parseHash().path !== 'messageCenter')
            update({unread: state.unread + 1});
    });
    if (restoreSession())
        watchAlarms();
    window.addEventListener('hashchange', route);
    // A reload or a closing page ends the feed quietly.
    window.addEventListener('pagehide', stopAlarms);
    route();
    client.webInited();
    window.__orvane.ready = true;
}

start();
