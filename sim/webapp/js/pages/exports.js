// Exports: reports of the platform (the device list by GET, alarm messages by POST) and device
// QR code pictures, saved on the operator's computer by the desktop client, which asks for the
// folder and shows the download's progress.
import {client, isNative} from '../bridge.js';
import {h, fill} from '../dom.js';
import {platform} from '../platform.js';
import {state} from '../store.js';
import {loadDevices, pageHead} from './parts.js';

const alarmTypes = [['0', 'All types'], ['1', 'Motion detected'], ['2', 'Line crossing'],
                    ['3', 'Intrusion'], ['4', 'Door opened'], ['5', 'Device offline']];

function select(id, options) {
    return h('select', {id}, options.map(([value, text]) => h('option', {value}, text)));
}

function exportCard(id, title, text, fields, onExport) {
    return h('form', {class: 'card', id,
                      onsubmit: (event) => { event.preventDefault(); onExport(); }},
             h('h2', {}, title), h('p', {class: 'muted'}, text),
             h('div', {class: 'inline-form'}, fields,
               h('button', {class: 'button primary', type: 'submit', disabled: !isNative()},
                 'Export')));
}

export function render(container) {
    const history = h('ul', {class: 'export-history', id: 'export-history'});
    const errors = h('div', {});
    const note = (text) => history.prepend(
        h('li', {}, h('span', {class: 'muted small'}, new Date().toLocaleTimeString()), ' ', text));

    const shop = select('export-shop', [['', 'All shops']]);
    const alarmType = select('export-alarm-type', alarmTypes);
    const qrDevice = select('export-qr-device', []);

    const exportDevices = () => {
        const query = shop.value ? `?shopCode=${encodeURIComponent(shop.value)}` : '';
        client.exportFile({requestType: 'GET', requestUrl: `/gateway/export/deviceReport${query}`});
        note(`Device list${shop.value ? ` of ${shop.selectedOptions[0].text}` : ''} asked for.`);
    };
    const exportAlarms = () => {
        client.exportFile({requestType: 'POST', requestUrl: '/gateway/export/alarmReport',
                           requestParams: JSON.stringify({messageType: Number(alarmType.value)})});
        note(`Alarm messages (${alarmType.selectedOptions[0].text.toLowerCase()}) asked for.`);
    };
    const exportQrCode = async () => {
        try {
            const picture = await platform.qrCode(state.user.token, qrDevice.value);
            client.exportFile({exportType: 2, requestParams: picture.content, name: picture.name,
                               isBase64: true});
            note(`QR code of ${qrDevice.selectedOptions[0].text} sent to the client.`);
        } catch (error) {
            errors.replaceChildren(h('p', {class: 'form-message'}, error.message));
        }
    };

    fill(container, h('section', {class: 'page page-exports'},
                      pageHead('Exports', 'Reports and pictures to save on this computer'),
                      isNative() ? null : h('p', {class: 'note'},
                                            'Exports are saved by the Orvane desktop client.'),
                      errors,
                      exportCard('export-devices', 'Device list',
                                 'Every device with its shop, type, model and state (CSV).',
                                 [shop], exportDevices),
                      exportCard('export-alarms', 'Alarm messages',
                                 'The alarms the platform keeps, newest last (CSV).',
                                 [alarmType], exportAlarms),
                      exportCard('export-qrcode', 'Device QR code',
                                 'A picture to stick on the device: scanning it opens the device.',
                                 [qrDevice], exportQrCode),
                      h('div', {class: 'card'}, h('h2', {}, 'This session'), history)));

    loadDevices(errors).then((devices) => {
        const shops = new Map(devices.map((device) => [device.shopCode, device.shopName]));
        shop.append(...[...shops].map(([code, name]) => h('option', {value: code}, name)));
        qrDevice.append(...devices.map((device) => h('option', {value: device.deviceId},
                                                        device.deviceName)));
    });
}
