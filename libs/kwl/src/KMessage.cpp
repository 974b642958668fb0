#include "kwl/KMessage.h"

KMessage::KMessage(int type) : m_type(type) {}

int KMessage::GetType() const
{
    return m_type;
}
