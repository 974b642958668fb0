#pragma once

class TesmarClient;

// Tells the main window which module view each menu path creates (the live view for
// "videoSurveillance", ...). One table in ModuleViews.cpp, one line per module.
void RegisterModuleViews(TesmarClient &client);
