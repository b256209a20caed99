#include "giferror.h"

const char* gifErrorName(GifError error)
{
    switch (error) {
    case GifError::None:
        return "None";
    case GifError::Unreadable:
        return "Unreadable";
    case GifError::Truncated:
        return "Truncated";
    case GifError::BadSignature:
        return "BadSignature";
    case GifError::BadScreenSize:
        return "BadScreenSize";
    case GifError::BadFrameSize:
        return "BadFrameSize";
    case GifError::BadGraphicControl:
        return "BadGraphicControl";
    case GifError::BadBlockIntroducer:
        return "BadBlockIntroducer";
    case GifError::NoColorTable:
        return "NoColorTable";
    case GifError::BadCodeSize:
        return "BadCodeSize";
    case GifError::BadCode:
        return "BadCode";
    }
    return "Unknown";
}
