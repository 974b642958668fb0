// The page's side of the web channel to the Orvane desktop client. Every text of the protocol
// (method names, notification names, parameter keys, module numbers) lives in this module, so
// that a new request or notification is added here and nowhere else.
//
// Inside the client, QtWebEngine offers qt.webChannelTransport; the page loads
// qrc:///qtwebchannel/qwebchannel.js and talks to the channel object "server":
// server.RPCCall(jsonText) sends a request, server.RPCNotify carries notifications back.
// In a plain browser there is no channel: requests are dropped and the native parts of the
// pages show a note instead.

// Module numbers that the page's video requests carry.
export const Module = Object.freeze({
    liveView: 1,
    remoteDoor: 2,
    messageDetail: 3,
});

// Menus whose pages the client backs with a native module, by menu path.
export const ModuleOfMenu = Object.freeze({
    videoSurveillance: Module.liveView,
    accessControl: Module.remoteDoor,
    messageCenter: Module.messageDetail,
});

const channelScript = 'qrc:///qtwebchannel/qwebchannel.js';

// What the page has exchanged with the client, kept for the end-to-end tests and for a look
// from the browser's console: window.__orvane.
const record = {
    native: false, // the channel to the client is up
    ready: false, // the page has started (set by the application)
    calls: [], // requests sent: {method, params}
    notifications: [], // notifications received: {method, id, params}
};
window.__orvane = record;

let server = null;
const handlers = new Map(); // notification name -> [fn]

function loadScript(src) {
    return new Promise((resolve, reject) => {
        const script = document.createElement('script');
        script.src = src;
        script.onload = resolve;
        script.onerror = () => reject(new Error(`cannot load ${src}`));
        document.head.appendChild(script);
    });
}

function receive(text) {
    let envelope;
    try {
        envelope = JSON.parse(text);
    } catch (error) {
        console.warn('notification is not JSON:', text);
        return;
    }
    const entry = {method: envelope.method, id: envelope.id, params: envelope.params || {}};
    record.notifications.push(entry);
    for (const fn of handlers.get(entry.method) || [])
        fn(entry.params);
}

// Connects to the client when the page runs inside it; resolves to true when connected.
export async function connect() {
    if (!(window.qt && window.qt.webChannelTransport))
        return false;
    try {
        await loadScript(channelScript);
        server = await new Promise((resolve) => {
            new QWebChannel(window.qt.webChannelTransport, (channel) => {
                resolve(channel.objects.server || null);
            });
        });
    } catch (error) {
        console.warn('web channel unavailable:', error.message);
        server = null;
    }
    if (server)
        server.RPCNotify.connect(receive);
    record.native = Boolean(server);
    return record.native;
}

// True when the page runs inside the client.
export function isNative() {
    return record.native;
}

function call(method, params = {}) {
    record.calls.push({method, params});
    if (server)
        server.RPCCall(JSON.stringify({method, params}));
}

// Calls fn for every notification of that name; returns what stops it.
function on(name, fn) {
    if (!handlers.has(name))
        handlers.set(name, []);
    handlers.get(name).push(fn);
    return () => handlers.set(name, handlers.get(name).filter((f) => f !== fn));
}

// Requests, page to client.
export const client = {
    webInited: () => call('WebInited'),
    getClientInfo: () => call('GetClientInfo'),
    // user: {userName, userType, userPhoto, token}; menus: [{menuName, menuPath, menuNavigation}]
    loginSucceeded: (user, menus) =>
        call('NotifyLoginSucc', {
            userName: user.userName,
            userType: user.userType,
            userPhoto: user.userPhoto,
            token: user.token,
            menuList: menus.map((menu) => ({
                menuName: menu.menuName,
                menuPath: menu.menuPath,
                menuNavigation: menu.menuNavigation,
            })),
        }),
    loggedOut: () => call('NotifyLoginOut'),
    closeApp: () => call('CloseApp'),
    minimize: () => call('MinSize'),
    setFullScreen: (on) => call('FullScreen', {bFullScreen: on}),
    switchMenu: (menuPath) => call('NotifySwitchMenu', {menuPath}),
    closeMenu: (menuPath) => call('CloseMenu', {menuPath}),
    textNotice: (content) => call('TextNotify', {content}),
    // message: an alarm message of the platform {content, messageType, messageID, ...}
    messageNotice: (message) =>
        call('MessageNotify', {
            content: message.content,
            messageType: message.messageType,
            messageID: message.messageID,
        }),
    openDeviceWeb: (deviceId) => call('OpenDeviceWeb', {deviceId}),
    // A file for the client to save. Downloads (exportType 0) name the gateway path and how to
    // ask it (requestType "GET" or "POST" with requestParams as the body); content exports
    // (exportType 2) carry the file in requestParams, as Base64 when isBase64.
    exportFile: ({requestType = 'GET', requestUrl = '', requestParams = '', exportType = 0, name,
                  isBase64}) =>
        call('CommonExportFile', {
            requestType,
            requestUrl,
            requestParams,
            exportType,
            ...(name === undefined ? {} : {name}),
            ...(isBase64 === undefined ? {} : {isBase64: isBase64 ? 1 : 0}),
        }),
    // Where a module's video lies in the page: rect {left, top, right, bottom} in CSS pixels.
    setVideoRect: (module, rect) =>
        call('SetWndRect', {module, left: rect.left, top: rect.top, right: rect.right,
                            bottom: rect.bottom}),
    // channels: [{deviceID, channelID, devName, channelName, shopCode, shopName, ...}]
    openVideo: (module, channels) => call('OpenVideo', {module, channels}),
    closeVideo: (module, deviceID, channelID) => call('CloseVideo', {module, deviceID, channelID}),
};

// Notifications, client to page; each takes a function of the notification's values.
export const notices = {
    // fn({macAddr, version, sysVersion, sysBit})
    clientInfo: (fn) => on('ReplyClientInfo', (p) => fn({
        macAddr: p.macAddr,
        version: p.version,
        sysVersion: p.sysVersion,
        sysBit: p.sysBit,
    })),
    fullScreen: (fn) => on('FullScreen', (p) => fn(Boolean(p.bFullScreen))),
    messageClicked: (fn) => on('ReplyMessageNotify', (p) => fn(String(p.messageID || ''))),
    closeRequested: (fn) => on('RightClickCloseAPP', () => fn()),
    // The door camera's picture: fn({jpegBase64, deviceId, channelId}); returns the stop.
    doorPicture: (fn) => on('SendFileData', (p) => fn({
        jpegBase64: String(p.fileData || ''),
        deviceId: p.DeviceId,
        channelId: p.ChannelId,
    })),
    // The door button of the door's video was pressed; returns the stop.
    doorButton: (fn) => on('RemoteOpenDoor', () => fn()),
    // fn({module, wndID, deviceID, channelID, status}): 3 playing, 0 closed; returns the stop.
    videoStatus: (fn) => on('VideoStatusChanged', (p) => fn(p)),
};
