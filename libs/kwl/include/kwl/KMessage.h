#pragma once

#include "kwl/KRefObj.h"

// A message for a KMessageQueue. The queue holds a reference while the message waits and is
// handled, so a message pushed and then released by its creator lives exactly as long as needed.
class KMessage : public virtual KRefObj
{
public:
    explicit KMessage(int type);

    // The number given at construction; its meaning belongs to the queue's owner.
    int GetType() const;

private:
    int m_type;
};
