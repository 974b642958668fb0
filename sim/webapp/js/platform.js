// The platform's HTTP API as the console uses it. Same origin as the page; answers come in the
// gateway's envelope {"code", "success", "errMsg", "data"}.

export class PlatformError extends Error {
    constructor(status, message) {
        super(message);
        this.status = status; // HTTP status, 0 when the platform was not reached
    }
}

async function request(method, path, {token, body, signal} = {}) {
    const headers = {Accept: 'application/json'};
    if (token)
        headers.Authorization = `Bearer ${token}`;
    if (body !== undefined)
        headers['Content-Type'] = 'application/json';
    let response;
    try {
        response = await fetch(path, {
            method,
            headers,
            body: body === undefined ? undefined : JSON.stringify(body),
            signal,
        });
    } catch (error) {
        if (error.name === 'AbortError')
            throw error;
        throw new PlatformError(0, 'The platform cannot be reached.');
    }
    let envelope = null;
    try {
        envelope = await response.json();
    } catch (error) {
        envelope = null;
    }
    if (!response.ok || !envelope || envelope.success === false) {
        const reason = envelope && envelope.errMsg;
        throw new PlatformError(response.status,
                                reason || `The platform answered with status ${response.status}.`);
    }
    return envelope.data;
}

export const platform = {
    // {token, userName, userType, userPhoto, menuList}
    login: (userName, password) =>
        request('POST', '/gateway/auth/login', {body: {userName, password}}),
    logout: (token) => request('POST', '/gateway/auth/logout', {token, body: {}}),
    // [{deviceId, deviceName, deviceType, shopName, online, channels: [...]}, ...]
    devices: (token) => request('POST', '/gateway/device/veltra/deviceList', {token, body: {}}),
    // {messages: [...newer than after], last}; waits up to waitMs for a newer one
    // {name, content}: the device's QR code, a PNG in Base64
    qrCode: (token, deviceId) =>
        request('GET', `/gateway/export/qrCode?deviceId=${encodeURIComponent(deviceId)}`, {token}),
    messages: (token, after, waitMs = 0, signal = undefined) =>
        request('GET', `/gateway/message/list?after=${after}&waitMs=${waitMs}`, {token, signal}),
    // {deviceId, channelId, openedAt}
    openDoor: (token, deviceId, channelId) =>
        request('POST', '/gateway/device/door/openDoor', {token, body: {deviceId, channelId}}),
};
