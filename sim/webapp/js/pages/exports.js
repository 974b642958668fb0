// Exports: files the platform prepares (reports, lists) for download by the desktop client.
import {h, fill} from '../dom.js';
import {pageHead} from './parts.js';

export function render(container) {
    fill(container, h('section', {class: 'page page-exports'},
                      pageHead('Exports', 'Reports and lists prepared for download'),
                      h('div', {class: 'card empty', id: 'export-list'},
                        h('p', {}, 'No exports yet.'),
                        h('p', {class: 'muted'},
                          'Exported files are downloaded by the Orvane desktop client, which '
                          + 'shows their progress.'))));
}
