#pragma once

#include <QMainWindow>

// The client's one top-level window: frameless, sized to the web view zoom and centred.
class TesmarClient : public QMainWindow
{
    Q_OBJECT

public:
    TesmarClient();
};
