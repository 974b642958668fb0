// The cameras of the live view: the platform's devices as the channel objects the client opens,
// the search over them, and which channels went offline between two device lists.

// Key of one channel of one device.
export function channelKey(deviceID, channelID) {
    return `${deviceID}/${channelID}`;
}

// Devices that show video: every device but door stations (the access-control page has them).
export function cameraDevices(devices) {
    return devices.filter((device) => device.deviceType !== 'door');
}

// The channel object of "OpenVideo" for a channel of a device of the platform's list.
// Devices are reached through the platform (accessSource 1) and open in standard definition;
// the user's token goes along, as the platform hands it to every channel.
export function channelObject(device, channel, token) {
    return {
        token,
        shopCode: device.shopCode,
        shopName: device.shopName,
        deviceID: device.deviceId,
        devName: device.deviceName,
        devAbility: device.ability || '',
        chnAbility: channel.ability || '',
        deviceModel: device.deviceModel || '',
        brand: device.brand || 'general',
        account: device.devLoginName || '',
        password: device.devLoginPassword || '',
        channelName: channel.channelName,
        wndID: -1,
        platForm: 0,
        accessSource: 1,
        channelID: channel.channelId,
        definitionMode: 1,
        isOnline: isOnline(device, channel) ? 1 : 0,
    };
}

export function isOnline(device, channel) {
    return device.online !== false && channel.online !== false;
}

// Whether a channel matches a search text: every word of the text in the shop, device or channel
// name, or the device id, ignoring case.
export function matches(device, channel, text) {
    const words = text.toLowerCase().split(/\s+/).filter(Boolean);
    const haystack = [device.shopName, device.deviceName, device.deviceId, channel.channelName]
        .join(' ').toLowerCase();
    return words.every((word) => haystack.includes(word));
}

// The channels online in before and not online in after (or gone from it): [{device, channel}].
export function wentOffline(before, after) {
    const now = new Map();
    for (const device of after) {
        for (const channel of device.channels)
            now.set(channelKey(device.deviceId, channel.channelId), isOnline(device, channel));
    }
    const lost = [];
    for (const device of before) {
        for (const channel of device.channels) {
            if (isOnline(device, channel)
                && !now.get(channelKey(device.deviceId, channel.channelId)))
                lost.push({device, channel});
        }
    }
    return lost;
}
