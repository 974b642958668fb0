#include "PtzState.h"

#include <algorithm>
#include <cmath>

namespace SimMedia {

namespace {

constexpr double kTurnPerSecond = 32.0; // pan and tilt units
constexpr double kZoomPerSecond = 4.0;
constexpr int kStop = 10;

double wrap(double v)
{
    v = std::fmod(v, 256.0);
    return v < 0 ? v + 256.0 : v;
}

} // namespace

bool PtzState::apply(int operation, int durationMs, Clock::time_point now)
{
    const bool known = (operation >= 0 && operation <= 3) || operation == 8 || operation == 9
        || operation == kStop;
    if (!known)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_base = positionAt(now);
    m_operation = operation;
    m_start = now;
    m_until = now + std::chrono::milliseconds(std::max(0, durationMs));
    return true;
}

PtzState::Position PtzState::positionAt(Clock::time_point now) const
{
    Position p = m_base;
    if (m_operation == kStop)
        return p;
    const double seconds = std::chrono::duration<double>(std::min(now, m_until) - m_start).count();
    switch (m_operation) {
    case 0:
        p.tilt = wrap(p.tilt - kTurnPerSecond * seconds);
        break;
    case 1:
        p.tilt = wrap(p.tilt + kTurnPerSecond * seconds);
        break;
    case 2:
        p.pan = wrap(p.pan - kTurnPerSecond * seconds);
        break;
    case 3:
        p.pan = wrap(p.pan + kTurnPerSecond * seconds);
        break;
    case 8:
        p.zoom = std::max(0.0, p.zoom - kZoomPerSecond * seconds);
        break;
    case 9:
        p.zoom = std::min(15.0, p.zoom + kZoomPerSecond * seconds);
        break;
    default:
        break;
    }
    return p;
}

PtzState::View PtzState::view(Clock::time_point now) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Position p = positionAt(now);
    return {static_cast<int>(p.pan) & 255, static_cast<int>(p.tilt) & 255,
            static_cast<int>(p.zoom)};
}

} // namespace SimMedia
