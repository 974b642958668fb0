// Where the client lays a module's native video over the page. The client places its video at
// the rectangle the page announces ("SetWndRect") and cuts out of it the named rectangles of the
// page that must stay above it ("SetMask"). Both are kept true here as the page changes: its
// size, scrolling, zoom (the client multiplies the CSS pixels by its zoom factor), and dialogs
// and menus that open over the video.
import {client} from './bridge.js';

// Parts of the page the video must never cover, by mask name. A modal dialog also darkens the
// video around it (shade). Elements of a page marked data-mask="name" are masked the same way.
const overlays = [
    {name: 'dialog', selector: '#dialogs .dialog', shade: true},
    {name: 'userMenu', selector: '.user-menu.open .user-popup', shade: false},
];

function intersect(a, b) {
    return {
        left: Math.max(a.left, b.left),
        top: Math.max(a.top, b.top),
        right: Math.min(a.right, b.right),
        bottom: Math.min(a.bottom, b.bottom),
    };
}

function isEmpty(rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

// The part of an element on screen: its box clipped by every scrolling ancestor and the window.
function visibleRect(element) {
    let rect = element.getBoundingClientRect();
    for (let parent = element.parentElement; parent; parent = parent.parentElement) {
        if (getComputedStyle(parent).overflow !== 'visible')
            rect = intersect(rect, parent.getBoundingClientRect());
    }
    return intersect(rect, {left: 0, top: 0, right: innerWidth, bottom: innerHeight});
}

function rounded(rect) {
    return {
        left: Math.round(rect.left),
        top: Math.round(rect.top),
        right: Math.round(rect.right),
        bottom: Math.round(rect.bottom),
    };
}

// The overlays shown over area now: Map name -> {rect: {left, top, width, height}, shade}.
function overlaysOver(area) {
    const found = new Map();
    const add = (name, element, shade) => {
        const box = rounded(element.getBoundingClientRect());
        if (isEmpty(box) || isEmpty(intersect(box, area)))
            return;
        found.set(name, {shade, rect: {left: box.left, top: box.top,
                                       width: box.right - box.left,
                                       height: box.bottom - box.top}});
    };
    for (const {name, selector, shade} of overlays) {
        const element = document.querySelector(selector);
        if (element)
            add(name, element, shade);
    }
    for (const element of document.querySelectorAll('[data-mask]'))
        add(element.dataset.mask, element, false);
    return found;
}

// Keeps the client told where element lies for the video of module, until the returned
// function is called (which also takes back every mask announced).
export function trackVideoArea(module, element) {
    let sentArea = '';
    const sentMasks = new Map(); // name -> text of what was announced
    let frame = 0;

    const announceMasks = (area) => {
        const shown = isEmpty(area) ? new Map() : overlaysOver(area);
        for (const [name, {rect, shade}] of shown) {
            const text = JSON.stringify(rect);
            if (sentMasks.get(name) !== text) {
                sentMasks.set(name, text);
                client.setMask(module, name, rect, true, shade);
            }
        }
        for (const [name, text] of [...sentMasks]) {
            if (!shown.has(name)) {
                sentMasks.delete(name);
                client.setMask(module, name, JSON.parse(text), false, false);
            }
        }
    };
    const update = () => {
        frame = 0;
        if (!element.isConnected)
            return;
        const area = rounded(visibleRect(element));
        const shown = isEmpty(area) ? {left: 0, top: 0, right: 0, bottom: 0} : area;
        const text = JSON.stringify(shown);
        if (text !== sentArea) {
            sentArea = text;
            client.setVideoArea(module, shown);
        }
        announceMasks(area);
    };
    const schedule = () => {
        if (!frame)
            frame = requestAnimationFrame(update);
    };

    const resized = new ResizeObserver(schedule);
    resized.observe(element);
    resized.observe(document.documentElement);
    const changed = new MutationObserver(schedule);
    changed.observe(document.body, {subtree: true, childList: true, attributes: true,
                                    attributeFilter: ['class', 'style', 'hidden', 'open']});
    addEventListener('resize', schedule);
    addEventListener('scroll', schedule, true);
    schedule();

    return () => {
        cancelAnimationFrame(frame);
        resized.disconnect();
        changed.disconnect();
        removeEventListener('resize', schedule);
        removeEventListener('scroll', schedule, true);
        announceMasks({left: 0, top: 0, right: 0, bottom: 0});
    };
}
