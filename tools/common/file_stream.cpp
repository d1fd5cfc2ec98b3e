#include "file_stream.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {
namespace {

constexpr std::size_t kBlock = 64 * 1024;

struct BlockFile {
    int fd = -1;
    std::int64_t start = 0; // file offset of block[0]
    std::size_t length = 0; // bytes of the file held in block
    unsigned char block[kBlock];
};

int nextBlock(fz_context* ctx, fz_stream* stm, size_t) {
    auto* file = static_cast<BlockFile*>(stm->state);
    ssize_t n = 0;
    while ((n = pread(file->fd, file->block, kBlock, stm->pos)) < 0 && errno == EINTR) {
    }
    if (n < 0) {
        file->length = 0;
        fz_throw(ctx, FZ_ERROR_GENERIC, "read error: %s", std::strerror(errno));
    }
    file->start = stm->pos;
    file->length = static_cast<std::size_t>(n);
    stm->rp = file->block;
    stm->wp = file->block + n;
    stm->pos += n;
    if (n == 0)
        return EOF;
    return *stm->rp++;
}

void seekBlock(fz_context* ctx, fz_stream* stm, int64_t offset, int whence) {
    auto* file = static_cast<BlockFile*>(stm->state);
    if (whence == SEEK_END) {
        struct stat st {};
        if (fstat(file->fd, &st) != 0)
            fz_throw(ctx, FZ_ERROR_GENERIC, "cannot seek: %s", std::strerror(errno));
        offset += st.st_size;
    } else if (whence == SEEK_CUR) {
        offset += stm->pos - (stm->wp - stm->rp);
    }
    if (offset < 0)
        fz_throw(ctx, FZ_ERROR_GENERIC, "cannot seek: %s", std::strerror(EINVAL));
    const std::int64_t end = file->start + static_cast<std::int64_t>(file->length);
    if (file->length > 0 && offset >= file->start && offset <= end) {
        stm->rp = file->block + (offset - file->start);
        stm->wp = file->block + file->length;
        stm->pos = end;
    } else {
        stm->rp = stm->wp = file->block;
        stm->pos = offset;
    }
}

void dropBlock(fz_context* ctx, void* state) {
    auto* file = static_cast<BlockFile*>(state);
    close(file->fd);
    fz_free(ctx, file);
}

} // namespace

fz_stream* openFileStream(fz_context* ctx, const char* path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fz_throw(ctx, FZ_ERROR_GENERIC, "cannot open %s: %s", path, std::strerror(errno));
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return fz_open_file(ctx, path);
    }
    BlockFile* file = nullptr;
    fz_try(ctx) file = static_cast<BlockFile*>(fz_calloc(ctx, 1, sizeof(BlockFile)));
    fz_catch(ctx) {
        close(fd);
        fz_rethrow(ctx);
    }
    file->fd = fd;
    fz_stream* stm = fz_new_stream(ctx, file, nextBlock, dropBlock);
    stm->seek = seekBlock;
    return stm;
}

} // namespace tools
