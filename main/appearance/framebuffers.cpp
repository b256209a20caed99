#include "framebuffers.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

// What is kept for reuse: a few pictures, none large. A big picture seen
// once is given back to the system at once.
constexpr size_t kMaxKeptBytes = 16u << 20;
constexpr size_t kMaxKeptBuffer = 8u << 20;
constexpr size_t kMaxKeptCount = 8;

struct Buffer
{
    void* data;
    size_t bytes;
};

struct Pool
{
    std::mutex lock;
    std::vector<Buffer> kept; // oldest first
    size_t keptBytes = 0;
};

Pool& pool()
{
    // Never destroyed: a picture may be released during the program's exit,
    // after the statics are gone.
    static Pool* p = new Pool;
    return *p;
}

void* take(size_t bytes)
{
    Pool& p = pool();
    {
        std::lock_guard<std::mutex> guard(p.lock);
        for (size_t i = p.kept.size(); i-- > 0;) {
            if (p.kept[i].bytes == bytes) {
                void* data = p.kept[i].data;
                p.kept.erase(p.kept.begin() + qsizetype(i));
                p.keptBytes -= bytes;
                return data;
            }
        }
    }
    return std::malloc(bytes);
}

void giveBack(void* info)
{
    auto* buffer = static_cast<Buffer*>(info);
    const Buffer b = *buffer;
    delete buffer;
    if (b.bytes > kMaxKeptBuffer) {
        std::free(b.data);
        return;
    }
    std::vector<void*> freed;
    {
        Pool& p = pool();
        std::lock_guard<std::mutex> guard(p.lock);
        p.kept.push_back(b);
        p.keptBytes += b.bytes;
        while (p.keptBytes > kMaxKeptBytes || p.kept.size() > kMaxKeptCount) {
            freed.push_back(p.kept.front().data);
            p.keptBytes -= p.kept.front().bytes;
            p.kept.erase(p.kept.begin());
        }
    }
    for (void* data : freed)
        std::free(data);
}

} // namespace

QImage FrameBuffers::make(int width, int height)
{
    if (width <= 0 || height <= 0)
        return QImage();
    const size_t bytes = size_t(width) * size_t(height) * 4;
    void* data = take(bytes);
    if (!data)
        return QImage();
    auto* info = new Buffer{data, bytes};
    QImage image(static_cast<uchar*>(data), width, height, qsizetype(width) * 4,
                 QImage::Format_RGB32, giveBack, info);
    if (image.isNull())
        giveBack(info);
    return image;
}

qsizetype FrameBuffers::pooledBytes()
{
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    return qsizetype(p.keptBytes);
}
