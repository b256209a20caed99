// Must not compile: the sound backend's headers are the platform library's
// own. The programs reach sound through the interfaces next to them.
#include "systemmixer.h"
#include "alsamixer.h"

int main()
{
    return createAlsaMixer() ? 0 : 1;
}
