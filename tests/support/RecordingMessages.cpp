#include "RecordingMessages.h"

RecordingMessages::RecordingMessages()
{
    install(this);
}

RecordingMessages::~RecordingMessages()
{
    install(nullptr);
}
