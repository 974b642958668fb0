// Small helpers to build the pages without a framework.

// Creates an element: h('button', {class: 'primary', onclick: fn}, 'Sign in').
// Attributes starting with "on" become event listeners, "dataset" an object of data-*
// attributes, "html" trusted markup (only the icons of icons.js); other children are text or
// elements (null and false are skipped).
export function h(tag, attributes = {}, ...children) {
    const element = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes)) {
        if (value === null || value === undefined || value === false)
            continue;
        if (name.startsWith('on'))
            element.addEventListener(name.slice(2), value);
        else if (name === 'dataset')
            Object.assign(element.dataset, value);
        else if (name === 'html')
            element.innerHTML = value;
        else
            element.setAttribute(name, value === true ? '' : value);
    }
    append(element, children);
    return element;
}

function append(element, children) {
    for (const child of children.flat()) {
        if (child === null || child === undefined || child === false)
            continue;
        element.append(child instanceof Node ? child : String(child));
    }
}

// Replaces the children of an element.
export function fill(element, ...children) {
    element.replaceChildren();
    append(element, children);
    return element;
}
