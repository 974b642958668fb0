#pragma once

#include <E2ESession.h>

#include <QRect>
#include <QString>
#include <QVector>

#include <string>

// The whole client as a user runs it, on orvane-sim with one recorder of 16 channels: started
// from a program folder, logged in through the real page, the live view opened from its menu (the
// page announces its video area, "SetWndRect"), and 16 channels opened into its windows by the
// page's own bridge ("OpenVideo"), called by script evaluated in the page (DevTools).
class ClientBench
{
public:
    static constexpr int kChannels = 16;

    // Starts the platform; false with the reason. The runs' files go to ORVANE_TEST_ROOT.
    bool startSim(QString *error);
    // The live addresses of the 16 channels in standard definition (what the client's small
    // windows play), for the decoding floor.
    QStringList channelUrls();
    // Starts the client, logs in and shows the live view; false with the reason.
    bool startClient(QString *error);
    // Opens the 16 channels into the page's video area; false with the reason when
    // not every window plays within the time-out. firstPictureMs: per window, from the page's
    // open request to the window's playing status reaching the page.
    bool openChannels(QVector<double> *firstPictureMs, QString *error);
    // Where the video area lies on the screen (the split, with the bars below it).
    QRect area() const { return m_area; }
    // The client's process id.
    qint64 clientPid() const;

private:
    // The built-in device file with the first recorder given 16 channels; its path, or "".
    QString writeDeviceFile() const;

    E2ESession m_session;
    std::string m_deviceToken;
    QRect m_area;
};
