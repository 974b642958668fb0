// The platform's alarm messages while a user is logged in: a long poll of the message route.
// Each new message goes to the desktop notifier through the client (or to an in-page notice in
// a plain browser) and to the parts of the page that listen.
import {client, isNative} from './bridge.js';
import {platform} from './platform.js';
import {showToast} from './toast.js';

const pollWaitMs = 20000;
const retryMs = [1000, 2000, 5000, 10000, 30000];
const listeners = new Set();

const readKey = 'orvane.readMessages';

let running = null; // {abort: AbortController} of the feed that runs
let read = new Set(JSON.parse(sessionStorage.getItem(readKey) || '[]'));

// Calls fn(message) for every message that arrives; returns the function that stops it.
export function onAlarm(fn) {
    listeners.add(fn);
    return () => listeners.delete(fn);
}

// Whether the user has opened the message (kept for the tab's session).
export function isRead(messageID) {
    return read.has(messageID);
}

export function markRead(messageID) {
    read.add(messageID);
    sessionStorage.setItem(readKey, JSON.stringify([...read]));
}

// Forgets what was read (at logout).
export function clearRead() {
    read = new Set();
    sessionStorage.removeItem(readKey);
}

// Starts the feed for a user. Messages already kept by the platform are not announced.
// onOpen(messageID) opens a message when its in-page notice is clicked; onSessionEnded runs when
// the platform no longer knows the user.
export function startAlarms(token, {onOpen, onSessionEnded}) {
    stopAlarms();
    const feed = {abort: new AbortController()};
    running = feed;
    run(feed, token, onOpen, onSessionEnded);
}

export function stopAlarms() {
    if (running)
        running.abort.abort();
    running = null;
}

async function run(feed, token, onOpen, onSessionEnded) {
    let last = null;
    let failures = 0;
    while (running === feed) {
        try {
            const wait = last === null ? 0 : pollWaitMs;
            const data = await platform.messages(token, last === null ? 0 : last, wait,
                                                 feed.abort.signal);
            if (last !== null)
                data.messages.forEach((message) => announce(message, onOpen));
            last = data.last;
            failures = 0;
        } catch (error) {
            if (error.name === 'AbortError' || running !== feed)
                return;
            if (error.status === 401) {
                onSessionEnded();
                return;
            }
            console.warn('alarm messages:', error.message);
            const pause = retryMs[Math.min(failures, retryMs.length - 1)];
            await new Promise((resolve) => setTimeout(resolve, pause));
            failures += 1;
        }
    }
}

function announce(message, onOpen) {
    if (isNative())
        client.messageNotice(message);
    else
        showToast({title: message.title, text: message.content, kind: 'alarm',
                   onClick: () => onOpen(message.messageID)});
    for (const fn of listeners)
        fn(message);
}
