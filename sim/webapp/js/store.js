// The console's state, with a change notification for the parts that show it.
const listeners = new Set();
const sessionKey = 'orvane.session';

export const state = {
    user: null, // {userName, userType, userPhoto, token} while logged in
    menus: [], // [{menuName, menuPath, menuNavigation}] of the logged-in user
    tabs: [], // menu paths of the open tabs, in opening order
    fullScreen: false, // as the client last reported it
    clientInfo: null, // {macAddr, version, sysVersion, sysBit} as the client last reported it
    unread: 0, // alarm messages arrived since the message centre was last shown
};

// Changes some members and tells every listener.
export function update(changes) {
    Object.assign(state, changes);
    for (const fn of listeners)
        fn(changes);
}

// Calls fn(changes) after every update; returns the function that stops it.
export function subscribe(fn) {
    listeners.add(fn);
    return () => listeners.delete(fn);
}

// Keeps the login for a reload of the page (the client reloads it after a renderer crash).
export function saveSession() {
    sessionStorage.setItem(sessionKey, JSON.stringify({user: state.user, menus: state.menus}));
}

// Takes back a login kept by saveSession; false when there is none.
export function restoreSession() {
    try {
        const kept = JSON.parse(sessionStorage.getItem(sessionKey) || 'null');
        if (!kept || !kept.user || !Array.isArray(kept.menus))
            return false;
        update({user: kept.user, menus: kept.menus});
        return true;
    } catch (error) {
        return false;
    }
}

export function clearSession() {
    sessionStorage.removeItem(sessionKey);
    update({user: null, menus: [], tabs: [], unread: 0});
}
