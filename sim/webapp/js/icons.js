// Line icons drawn for the console, 24 × 24, in the current text colour.
const icon = (paths) =>
    `<svg class="icon" viewBox="0 0 24 24" aria-hidden="true" fill="none" stroke="currentColor"
        stroke-width="1.8" stroke-linecap="round" stroke-linejoin="round">${paths}</svg>`;

export const icons = {
    videoSurveillance: icon('<rect x="3" y="6" width="13" height="12" rx="2"/>'
                            + '<path d="M16 10l5-3v10l-5-3z"/>'),
    accessControl: icon('<rect x="6" y="3" width="12" height="18" rx="1.5"/>'
                        + '<circle cx="14.5" cy="12.5" r="1"/>'),
    messageCenter: icon('<path d="M6 16V11a6 6 0 0 1 12 0v5l2 2H4z"/>'
                        + '<path d="M10 20a2 2 0 0 0 4 0"/>'),
    exportCenter: icon('<path d="M12 4v11"/><path d="M7 10l5 5 5-5"/><path d="M5 19h14"/>'),
    deviceList: icon('<rect x="3" y="5" width="18" height="6" rx="1.5"/>'
                     + '<rect x="3" y="13" width="18" height="6" rx="1.5"/>'
                     + '<path d="M7 8h.01M7 16h.01"/>'),
    about: icon('<circle cx="12" cy="12" r="9"/><path d="M12 11v5M12 8h.01"/>'),
    menu: icon('<rect x="4" y="4" width="16" height="16" rx="2"/>'),
    minimize: icon('<path d="M6 12h12"/>'),
    maximize: icon('<rect x="6" y="6" width="12" height="12" rx="1"/>'),
    restore: icon('<rect x="5" y="9" width="10" height="10" rx="1"/>'
                  + '<path d="M9 9V6a1 1 0 0 1 1-1h8a1 1 0 0 1 1 1v8a1 1 0 0 1-1 1h-3"/>'),
    close: icon('<path d="M7 7l10 10M17 7L7 17"/>'),
    user: icon('<circle cx="12" cy="9" r="4"/><path d="M4 20a8 8 0 0 1 16 0"/>'),
    logout: icon('<path d="M10 5H5v14h5"/><path d="M14 8l4 4-4 4M18 12H9"/>'),
    play: icon('<path d="M8 5l11 7-11 7z"/>'),
};
