// Must not compile: the sound backend's headers are the platform library's
// own. The programs reach sound through the interfaces next to them.
#include "alsamixer.h"
#include "systemmixer.h"

int main()
{
    return createAlsaMixer() ? 0 : 1;
}
