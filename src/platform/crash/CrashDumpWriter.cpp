#include "platform/crash/CrashDumpWriter.h"

#include "platform/crash/MinidumpFormat.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/utsname.h>
#include <ucontext.h>
#include <unistd.h>

namespace Platform {
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kAltStackSize = 64 * 1024;
constexpr size_t kMapsBufferSize = 512 * 1024;
constexpr size_t kMaxRegions = 8192;
constexpr size_t kMaxModules = 1024;
constexpr size_t kMaxPath = 256;
constexpr uint64_t kStackCopyLimit = 32 * 1024;
constexpr uint64_t kRedZone = 128;
constexpr size_t kInfoBatch = 32; // memory information entries written per call
constexpr size_t kMaxBuildId = 64;
constexpr size_t kMaxProgramHeaders = 64;
constexpr size_t kMaxNoteBytes = 4096;
#if __SIZEOF_POINTER__ == 8
constexpr unsigned char kElfClass = ELFCLASS64;
#else
constexpr unsigned char kElfClass = ELFCLASS32;
#endif

// One line of /proc/self/maps; the path points into the maps buffer.
struct Region {
    uint64_t start;
    uint64_t end;
    uint64_t offset;
    const char* path;
    size_t pathLength;
    uint32_t protect; // as Minidump::MemoryInfo::protect
};

// One module: a file from its mapping at offset 0 to the end of its last consecutive mapping, with the build
// id of its ELF file (none: length 0).
struct ModuleEntry {
    uint64_t start;
    uint64_t end;
    const char* path;
    size_t pathLength;
    uint32_t idLength;
    uint8_t id[kMaxBuildId];
};

// The build id of a module loaded when the handler was installed, by where its file's first page lies.
struct KnownBuildId {
    uint64_t start;
    uint32_t length;
    uint8_t id[kMaxBuildId];
};

// Everything the handler touches, allocated at install time.
struct Prepared {
    int folderFd = -1;
    char fileName[128] = {};
    char successLine[1024] = {};
    char failureLine[1024] = {};
    char* mapsBuffer = nullptr;
    Region* regions = nullptr;
    ModuleEntry* modules = nullptr;
    KnownBuildId* buildIds = nullptr;
    size_t buildIdCount = 0;
    uint8_t processorCount = 1;
    uint32_t osMajor = 0, osMinor = 0, osBuild = 0;
};

Prepared g_prepared;
std::atomic<int> g_crashingThread{0};
bool g_installed = false;

pid_t currentThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

bool writeAll(int fd, const void* data, size_t size, off_t offset)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = pwrite(fd, bytes, size, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

uint32_t align8(uint32_t value) { return (value + 7u) & ~7u; }

uint64_t parseHex(const char*& p, const char* end)
{
    uint64_t value = 0;
    while (p < end) {
        const char c = *p;
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else break;
        value = value * 16 + static_cast<uint64_t>(digit);
        ++p;
    }
    return value;
}

void skipTo(const char*& p, const char* end, char c)
{
    while (p < end && *p != c) ++p;
}

void skipSpaces(const char*& p, const char* end)
{
    while (p < end && *p == ' ') ++p;
}

// "r-xp" and the like as a page protection (private and shared mappings alike).
uint32_t protectionOf(const char* p, const char* end)
{
    using namespace Minidump;
    if (end - p < 3)
        return kPageNoAccess;
    const bool r = p[0] == 'r', w = p[1] == 'w', x = p[2] == 'x';
    if (x)
        return w ? kPageExecuteReadWrite : (r ? kPageExecuteRead : kPageExecute);
    if (w)
        return kPageReadWrite;
    return r ? kPageReadOnly : kPageNoAccess;
}

// How the build id reader reaches a module's memory: directly at install time; through the kernel in the
// handler, where a page that is gone makes the read fail instead of faulting.
using ReadMemory = bool (*)(void* to, uint64_t from, size_t size);

bool readDirectly(void* to, uint64_t from, size_t size)
{
    memcpy(to, reinterpret_cast<const void*>(from), size);
    return true;
}

bool readThroughKernel(void* to, uint64_t from, size_t size)
{
    iovec local = {to, size};
    iovec remote = {reinterpret_cast<void*>(from), size};
    return syscall(SYS_process_vm_readv, getpid(), &local, 1UL, &remote, 1UL, 0UL) == static_cast<long>(size);
}

size_t alignUp(size_t value, size_t alignment)
{
    return (value + alignment - 1) & ~(alignment - 1);
}

// The GNU build id of the ELF module whose file is mapped from start (its ELF header and program headers lie
// there), read from its note segments as loaded; 0 when it has none.
uint32_t buildIdAt(uint64_t start, ReadMemory read, uint8_t* id)
{
    ElfW(Ehdr) header;
    if (!read(&header, start, sizeof(header)) || memcmp(header.e_ident, ELFMAG, SELFMAG) != 0
        || header.e_ident[EI_CLASS] != kElfClass || header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0
        || header.e_phnum > kMaxProgramHeaders)
        return 0;
    ElfW(Phdr) headers[kMaxProgramHeaders];
    if (!read(headers, start + header.e_phoff, header.e_phnum * sizeof(ElfW(Phdr))))
        return 0;
    // The first loaded segment maps the file's first page at start: the load bias follows from it.
    const ElfW(Phdr)* first = nullptr;
    for (size_t i = 0; i < header.e_phnum && !first; ++i) {
        if (headers[i].p_type == PT_LOAD)
            first = &headers[i];
    }
    if (!first || first->p_offset > first->p_vaddr || first->p_offset >= 65536)
        return 0;
    const uint64_t bias = start - (first->p_vaddr - first->p_offset);

    uint8_t notes[kMaxNoteBytes];
    for (size_t i = 0; i < header.e_phnum; ++i) {
        const ElfW(Phdr)& segment = headers[i];
        if (segment.p_type != PT_NOTE)
            continue;
        const size_t size = segment.p_filesz < kMaxNoteBytes ? segment.p_filesz : kMaxNoteBytes;
        if (size < sizeof(ElfW(Nhdr)) || !read(notes, bias + segment.p_vaddr, size))
            continue;
        const size_t alignment = segment.p_align == 8 ? 8 : 4;
        size_t at = 0;
        while (at + sizeof(ElfW(Nhdr)) <= size) {
            ElfW(Nhdr) note;
            memcpy(&note, notes + at, sizeof(note));
            const size_t name = at + sizeof(note);
            const size_t desc = name + alignUp(note.n_namesz, alignment);
            if (note.n_namesz > size || note.n_descsz > size || desc + note.n_descsz > size)
                break;
            if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 && memcmp(notes + name, "GNU", 4) == 0
                && note.n_descsz > 0 && note.n_descsz <= kMaxBuildId) {
                memcpy(id, notes + desc, note.n_descsz);
                return note.n_descsz;
            }
            at = desc + alignUp(note.n_descsz, alignment);
        }
    }
    return 0;
}

// Install time: the build id of every module loaded now.
int rememberBuildId(dl_phdr_info* info, size_t, void*)
{
    if (g_prepared.buildIdCount >= kMaxModules)
        return 1;
    for (size_t i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD)
            continue;
        if (segment.p_offset <= segment.p_vaddr && segment.p_offset < 65536) {
            KnownBuildId& known = g_prepared.buildIds[g_prepared.buildIdCount];
            known.start = info->dlpi_addr + segment.p_vaddr - segment.p_offset;
            known.length = buildIdAt(known.start, readDirectly, known.id);
            if (known.length > 0)
                ++g_prepared.buildIdCount;
        }
        break;
    }
    return 0;
}

// The module's build id: as remembered at install time, or read now for a module loaded since.
void findBuildId(ModuleEntry& module)
{
    for (size_t i = 0; i < g_prepared.buildIdCount; ++i) {
        const KnownBuildId& known = g_prepared.buildIds[i];
        if (known.start == module.start) {
            module.idLength = known.length;
            memcpy(module.id, known.id, known.length);
            return;
        }
    }
    module.idLength = buildIdAt(module.start, readThroughKernel, module.id);
}

// Reads /proc/self/maps into the prepared buffer and splits it into regions (at most kMaxRegions).
size_t readRegions()
{
    const int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    size_t used = 0;
    while (used < kMapsBufferSize) {
        const ssize_t n = read(fd, g_prepared.mapsBuffer + used, kMapsBufferSize - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        used += static_cast<size_t>(n);
    }
    close(fd);

    size_t count = 0;
    const char* p = g_prepared.mapsBuffer;
    const char* const end = p + used;
    while (p < end && count < kMaxRegions) {
        const char* lineEnd = p;
        skipTo(lineEnd, end, '\n');
        if (lineEnd == end)
            break; // a line cut off by the buffer's end
        Region& region = g_prepared.regions[count];
        region.start = parseHex(p, lineEnd);
        ++p; // '-'
        region.end = parseHex(p, lineEnd);
        skipSpaces(p, lineEnd);
        region.protect = protectionOf(p, lineEnd);
        skipTo(p, lineEnd, ' ');
        skipSpaces(p, lineEnd);
        region.offset = parseHex(p, lineEnd);
        skipSpaces(p, lineEnd);
        skipTo(p, lineEnd, ' '); // device
        skipSpaces(p, lineEnd);
        skipTo(p, lineEnd, ' '); // inode
        skipSpaces(p, lineEnd);
        region.path = p;
        region.pathLength = static_cast<size_t>(lineEnd - p);
        if (region.end > region.start)
            ++count;
        p = lineEnd + 1;
    }
    return count;
}

bool readable(const Region& region)
{
    return region.protect != Minidump::kPageNoAccess && region.protect != Minidump::kPageExecute;
}

// The modules among the regions: one per file, from its mapping at offset 0 to the end of its last
// consecutive mapping.
size_t collectModules(size_t regionCount)
{
    size_t count = 0;
    for (size_t i = 0; i < regionCount; ++i) {
        const Region& region = g_prepared.regions[i];
        if (region.pathLength == 0 || region.path[0] != '/' || region.pathLength >= kMaxPath)
            continue;
        ModuleEntry* last = count > 0 ? &g_prepared.modules[count - 1] : nullptr;
        if (last && last->pathLength == region.pathLength && memcmp(last->path, region.path, region.pathLength) == 0
            && region.start >= last->end) {
            last->end = region.end;
        } else if (region.offset == 0 && count < kMaxModules) {
            ModuleEntry& module = g_prepared.modules[count++];
            module.start = region.start;
            module.end = region.end;
            module.path = region.path;
            module.pathLength = region.pathLength;
            module.idLength = 0;
            if (readable(region))
                findBuildId(module);
        }
    }
    return count;
}

// Where the stack copy starts and how long it is: from just below the stack pointer (the red zone) up, within
// the pointer's mapping. After an overflow the pointer lies in the guard page or below the stack: the copy is
// then the stack's lowest part, the readable mapping starting closest above the pointer.
void stackCopyOf(uint64_t sp, size_t regionCount, uint64_t* start, uint64_t* size)
{
    *start = sp;
    *size = 0;
    const Region* stack = nullptr;
    for (size_t i = 0; i < regionCount && !stack; ++i) {
        const Region& region = g_prepared.regions[i];
        if (sp >= region.start && sp < region.end && readable(region))
            stack = &region;
    }
    uint64_t from = sp >= kRedZone ? sp - kRedZone : 0;
    if (!stack) {
        for (size_t i = 0; i < regionCount; ++i) {
            const Region& region = g_prepared.regions[i];
            if (region.start > sp && region.start - sp <= kStackCopyLimit && readable(region)
                && (!stack || region.start < stack->start))
                stack = &region;
        }
    }
    if (!stack)
        return;
    if (from < stack->start)
        from = stack->start;
    *start = from;
    *size = stack->end - from < kStackCopyLimit ? stack->end - from : kStackCopyLimit;
}

void fillContext(Minidump::ContextAmd64& out, const ucontext_t* uc)
{
    memset(&out, 0, sizeof(out));
#if defined(__x86_64__)
    const greg_t* r = uc->uc_mcontext.gregs;
    out.contextFlags = Minidump::kContextAmd64Full;
    out.rax = static_cast<uint64_t>(r[REG_RAX]);
    out.rcx = static_cast<uint64_t>(r[REG_RCX]);
    out.rdx = static_cast<uint64_t>(r[REG_RDX]);
    out.rbx = static_cast<uint64_t>(r[REG_RBX]);
    out.rsp = static_cast<uint64_t>(r[REG_RSP]);
    out.rbp = static_cast<uint64_t>(r[REG_RBP]);
    out.rsi = static_cast<uint64_t>(r[REG_RSI]);
    out.rdi = static_cast<uint64_t>(r[REG_RDI]);
    out.r8 = static_cast<uint64_t>(r[REG_R8]);
    out.r9 = static_cast<uint64_t>(r[REG_R9]);
    out.r10 = static_cast<uint64_t>(r[REG_R10]);
    out.r11 = static_cast<uint64_t>(r[REG_R11]);
    out.r12 = static_cast<uint64_t>(r[REG_R12]);
    out.r13 = static_cast<uint64_t>(r[REG_R13]);
    out.r14 = static_cast<uint64_t>(r[REG_R14]);
    out.r15 = static_cast<uint64_t>(r[REG_R15]);
    out.rip = static_cast<uint64_t>(r[REG_RIP]);
    out.eflags = static_cast<uint32_t>(r[REG_EFL]);
    const uint64_t csgsfs = static_cast<uint64_t>(r[REG_CSGSFS]);
    out.cs = static_cast<uint16_t>(csgsfs & 0xffff);
    out.gs = static_cast<uint16_t>((csgsfs >> 16) & 0xffff);
    out.fs = static_cast<uint16_t>((csgsfs >> 32) & 0xffff);
    if (uc->uc_mcontext.fpregs) {
        memcpy(out.floatSave, uc->uc_mcontext.fpregs, sizeof(out.floatSave));
        out.mxCsr = uc->uc_mcontext.fpregs->mxcsr;
    }
#else
    (void)uc;
#endif
}

uint64_t stackPointerOf(const ucontext_t* uc)
{
#if defined(__x86_64__)
    return static_cast<uint64_t>(uc->uc_mcontext.gregs[REG_RSP]);
#else
    (void)uc;
    return 0;
#endif
}

// Writes the dump; false when the file could not be created or written whole.
bool writeDump(int signal, const siginfo_t* info, const ucontext_t* uc, pid_t thread)
{
    using namespace Minidump;
    const int fd = openat(g_prepared.folderFd, g_prepared.fileName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = true;

    const size_t regionCount = readRegions();
    const size_t moduleCount = collectModules(regionCount);
    const uint64_t sp = stackPointerOf(uc);
    uint64_t stackStart = 0;
    uint64_t stackSize = 0;
    stackCopyOf(sp, regionCount, &stackStart, &stackSize);

    // The file, in order: header, directory, the fixed-size streams, the stack copy, the module list with its
    // names and build ids, and the memory information list.
    constexpr uint32_t kStreamCount = 7;
    const uint32_t directoryRva = sizeof(Header);
    const uint32_t systemRva = directoryRva + kStreamCount * sizeof(Directory);
    const uint32_t csdRva = systemRva + sizeof(SystemInfo);
    const uint32_t exceptionRva = align8(csdRva + 6);
    const uint32_t contextRva = exceptionRva + sizeof(Exception);
    const uint32_t threadListRva = contextRva + sizeof(ContextAmd64);
    const uint32_t memoryListRva = align8(threadListRva + 4 + sizeof(Thread));
    const uint32_t miscRva = align8(memoryListRva + 4 + sizeof(MemoryDescriptor));
    const uint32_t stackRva = align8(miscRva + sizeof(MiscInfo));
    const uint32_t moduleListRva = align8(stackRva + static_cast<uint32_t>(stackSize));
    const uint32_t moduleListSize = 4 + static_cast<uint32_t>(moduleCount * sizeof(Module));
    uint32_t namesRva = align8(moduleListRva + moduleListSize);
    uint32_t namesEnd = namesRva;
    for (size_t i = 0; i < moduleCount; ++i)
        namesEnd = align8(namesEnd + static_cast<uint32_t>(4 + g_prepared.modules[i].pathLength * 2 + 2));
    // The CodeView records (build ids) after the names.
    uint32_t cvRva = namesEnd;
    uint32_t cvEnd = cvRva;
    for (size_t i = 0; i < moduleCount; ++i) {
        if (g_prepared.modules[i].idLength > 0)
            cvEnd = align8(cvEnd + 4 + g_prepared.modules[i].idLength);
    }
    const uint32_t memoryInfoRva = cvEnd;
    const uint32_t memoryInfoSize = static_cast<uint32_t>(sizeof(MemoryInfoListHeader) + regionCount * sizeof(MemoryInfo));

    Header header = {};
    header.signature = kSignature;
    header.version = kVersion;
    header.streamCount = kStreamCount;
    header.directoryRva = directoryRva;
    header.timeDateStamp = static_cast<uint32_t>(time(nullptr));
    ok = ok && writeAll(fd, &header, sizeof(header), 0);

    const Directory directory[kStreamCount] = {
        {SystemInfoStream, {sizeof(SystemInfo), systemRva}},
        {ExceptionStream, {sizeof(Exception), exceptionRva}},
        {ThreadListStream, {4 + sizeof(Thread), threadListRva}},
        {MemoryListStream, {4 + sizeof(MemoryDescriptor), memoryListRva}},
        {MiscInfoStream, {sizeof(MiscInfo), miscRva}},
        {ModuleListStream, {moduleListSize, moduleListRva}},
        {MemoryInfoListStream, {memoryInfoSize, memoryInfoRva}},
    };
    ok = ok && writeAll(fd, directory, sizeof(directory), directoryRva);

    SystemInfo system = {};
#if defined(__x86_64__)
    system.processorArchitecture = kArchAmd64;
#elif defined(__aarch64__)
    system.processorArchitecture = kArchArm64;
#else
    system.processorArchitecture = kArchUnknown;
#endif
    system.processorCount = g_prepared.processorCount;
    system.majorVersion = g_prepared.osMajor;
    system.minorVersion = g_prepared.osMinor;
    system.buildNumber = g_prepared.osBuild;
    system.platformId = kPlatformLinux;
    system.csdVersionRva = csdRva;
    ok = ok && writeAll(fd, &system, sizeof(system), systemRva);
    const uint8_t emptyString[6] = {};
    ok = ok && writeAll(fd, emptyString, sizeof(emptyString), csdRva);

    Exception exception = {};
    exception.threadId = static_cast<uint32_t>(thread);
    exception.code = static_cast<uint32_t>(signal);
    exception.flags = static_cast<uint32_t>(info ? info->si_code : 0);
    exception.address = info ? reinterpret_cast<uint64_t>(info->si_addr) : 0;
    exception.threadContext = {sizeof(ContextAmd64), contextRva};
    ok = ok && writeAll(fd, &exception, sizeof(exception), exceptionRva);

    ContextAmd64 context;
    fillContext(context, uc);
    ok = ok && writeAll(fd, &context, sizeof(context), contextRva);

    // The thread list and the memory list both describe the one stack copy.
    const uint32_t one = 1;
    Thread threadRecord = {};
    threadRecord.threadId = static_cast<uint32_t>(thread);
    threadRecord.stack = {stackStart, {static_cast<uint32_t>(stackSize), stackRva}};
    threadRecord.threadContext = {sizeof(ContextAmd64), contextRva};
    ok = ok && writeAll(fd, &one, 4, threadListRva);
    ok = ok && writeAll(fd, &threadRecord, sizeof(threadRecord), threadListRva + 4);
    ok = ok && writeAll(fd, &one, 4, memoryListRva);
    ok = ok && writeAll(fd, &threadRecord.stack, sizeof(MemoryDescriptor), memoryListRva + 4);

    MiscInfo misc = {};
    misc.sizeOfInfo = sizeof(MiscInfo);
    misc.flags1 = kMiscProcessId;
    misc.processId = static_cast<uint32_t>(getpid());
    ok = ok && writeAll(fd, &misc, sizeof(misc), miscRva);

    // The stack is copied straight from memory: write() reports an unreadable page instead of faulting.
    if (stackSize > 0)
        ok = ok && writeAll(fd, reinterpret_cast<const void*>(stackStart), stackSize, stackRva);

    const uint32_t count32 = static_cast<uint32_t>(moduleCount);
    ok = ok && writeAll(fd, &count32, 4, moduleListRva);
    for (size_t i = 0; i < moduleCount && ok; ++i) {
        const ModuleEntry& entry = g_prepared.modules[i];
        Module module = {};
        module.baseOfImage = entry.start;
        module.sizeOfImage = static_cast<uint32_t>(entry.end - entry.start);
        module.moduleNameRva = namesRva;
        if (entry.idLength > 0) {
            uint8_t record[4 + kMaxBuildId];
            const uint32_t signature = kCvSignatureElf;
            memcpy(record, &signature, 4);
            memcpy(record + 4, entry.id, entry.idLength);
            module.cvRecord = {4 + entry.idLength, cvRva};
            ok = ok && writeAll(fd, record, 4 + entry.idLength, cvRva);
            cvRva = align8(cvRva + 4 + entry.idLength);
        }
        ok = ok && writeAll(fd, &module, sizeof(module), moduleListRva + 4 + static_cast<uint32_t>(i * sizeof(Module)));
        // The name: its length in bytes, then UTF-16 text and a terminating zero (paths are written byte-wise).
        uint16_t name[kMaxPath + 3] = {};
        const uint32_t bytes = static_cast<uint32_t>(entry.pathLength * 2);
        memcpy(name, &bytes, 4);
        for (size_t c = 0; c < entry.pathLength; ++c)
            name[2 + c] = static_cast<unsigned char>(entry.path[c]);
        const size_t total = 4 + entry.pathLength * 2 + 2;
        ok = ok && writeAll(fd, name, total, namesRva);
        namesRva = align8(namesRva + static_cast<uint32_t>(total));
    }

    const MemoryInfoListHeader infoHeader = {sizeof(MemoryInfoListHeader), sizeof(MemoryInfo), regionCount};
    ok = ok && writeAll(fd, &infoHeader, sizeof(infoHeader), memoryInfoRva);
    MemoryInfo batch[kInfoBatch];
    for (size_t i = 0; i < regionCount && ok; i += kInfoBatch) {
        const size_t n = regionCount - i < kInfoBatch ? regionCount - i : kInfoBatch;
        for (size_t k = 0; k < n; ++k) {
            const Region& region = g_prepared.regions[i + k];
            MemoryInfo& entry = batch[k];
            entry = {};
            entry.baseAddress = region.start;
            entry.allocationBase = region.start;
            entry.allocationProtect = region.protect;
            entry.regionSize = region.end - region.start;
            entry.state = kMemCommit;
            entry.protect = region.protect;
            const bool file = region.pathLength > 0 && region.path[0] == '/';
            entry.type = file ? (region.protect >= kPageExecute ? kMemImage : kMemMapped) : kMemPrivate;
        }
        ok = writeAll(fd, batch, n * sizeof(MemoryInfo),
                      memoryInfoRva + sizeof(MemoryInfoListHeader) + static_cast<uint32_t>(i * sizeof(MemoryInfo)));
    }
    if (close(fd) != 0)
        ok = false;
    return ok;
}

void writeLine(const char* line)
{
    size_t length = strlen(line);
    while (length > 0) {
        const ssize_t n = write(STDERR_FILENO, line, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        line += n;
        length -= static_cast<size_t>(n);
    }
}

void onSignal(int signal, siginfo_t* info, void* rawContext)
{
    const int savedErrno = errno;
    const pid_t thread = currentThreadId();
    int expected = 0;
    if (!g_crashingThread.compare_exchange_strong(expected, static_cast<int>(thread))) {
        if (expected == static_cast<int>(thread)) {
            // A fault inside the handler itself: end with the default action.
            ::signal(signal, SIG_DFL);
            syscall(SYS_tgkill, getpid(), thread, signal);
            return;
        }
        // Another thread is writing the dump; it ends the process.
        for (;;) {
            const timespec pause = {1, 0};
            nanosleep(&pause, nullptr);
        }
    }

    const bool written = writeDump(signal, info, static_cast<const ucontext_t*>(rawContext), thread);
    writeLine(written ? g_prepared.successLine : g_prepared.failureLine);

    for (int s : kSignals)
        ::signal(s, SIG_DFL);
    // A fault raised by the hardware repeats when the instruction runs again; a sent one is sent again.
    if (info == nullptr || info->si_code <= 0 || signal == SIGABRT)
        syscall(SYS_tgkill, getpid(), thread, signal);
    errno = savedErrno;
}

void copyText(char* target, size_t capacity, const std::string& text)
{
    const size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    memcpy(target, text.data(), n);
    target[n] = '\0';
}

} // namespace

namespace {

// The alternate stack this thread made, given back when the thread ends (pool threads come and go).
struct ThreadCrashStack {
    void* memory = nullptr;
    ~ThreadCrashStack()
    {
        if (!memory)
            return;
        stack_t disable = {};
        disable.ss_flags = SS_DISABLE;
        sigaltstack(&disable, nullptr);
        munmap(memory, kAltStackSize);
    }
};

thread_local ThreadCrashStack t_crashStack;

} // namespace

void prepareCrashStack()
{
    if (t_crashStack.memory)
        return;
    stack_t current = {};
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE) && current.ss_size >= kAltStackSize)
        return;
    void* memory = mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return;
    stack_t stack = {};
    stack.ss_sp = memory;
    stack.ss_size = kAltStackSize;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(memory, kAltStackSize);
        return;
    }
    t_crashStack.memory = memory;
}

bool installCrashHandler(const CrashHandlerSetup& setup)
{
    const int folderFd = open(setup.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    if (!g_prepared.mapsBuffer) {
        void* maps = mmap(nullptr, kMapsBufferSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        void* regions = mmap(nullptr, kMaxRegions * sizeof(Region), PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        void* modules = mmap(nullptr, kMaxModules * sizeof(ModuleEntry), PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        void* buildIds = mmap(nullptr, kMaxModules * sizeof(KnownBuildId), PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (maps == MAP_FAILED || regions == MAP_FAILED || modules == MAP_FAILED || buildIds == MAP_FAILED) {
            if (maps != MAP_FAILED) munmap(maps, kMapsBufferSize);
            if (regions != MAP_FAILED) munmap(regions, kMaxRegions * sizeof(Region));
            if (modules != MAP_FAILED) munmap(modules, kMaxModules * sizeof(ModuleEntry));
            if (buildIds != MAP_FAILED)
                munmap(buildIds, kMaxModules * sizeof(KnownBuildId));
            close(folderFd);
            return false;
        }
        g_prepared.mapsBuffer = static_cast<char*>(maps);
        g_prepared.regions = static_cast<Region*>(regions);
        g_prepared.modules = static_cast<ModuleEntry*>(modules);
        g_prepared.buildIds = static_cast<KnownBuildId*>(buildIds);
    }
    // The build ids of the modules loaded now are read here, outside any signal; the handler reads those of
    // modules loaded later through the kernel.
    g_prepared.buildIdCount = 0;
    dl_iterate_phdr(rememberBuildId, nullptr);
    if (g_prepared.folderFd >= 0)
        close(g_prepared.folderFd);
    g_prepared.folderFd = folderFd;
    copyText(g_prepared.fileName, sizeof(g_prepared.fileName), setup.dumpId + ".dmp");
    copyText(g_prepared.successLine, sizeof(g_prepared.successLine), setup.successLine);
    copyText(g_prepared.failureLine, sizeof(g_prepared.failureLine), setup.failureLine);
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    g_prepared.processorCount = static_cast<uint8_t>(processors > 0 && processors < 255 ? processors : 1);
    utsname name = {};
    if (uname(&name) == 0) {
        const char* p = name.release;
        uint32_t* parts[] = {&g_prepared.osMajor, &g_prepared.osMinor, &g_prepared.osBuild};
        for (uint32_t* part : parts) {
            uint32_t value = 0;
            while (*p >= '0' && *p <= '9') value = value * 10 + static_cast<uint32_t>(*p++ - '0');
            *part = value;
            if (*p == '.') ++p;
        }
    }

    if (!g_installed) {
        prepareCrashStack();
        struct sigaction action = {};
        action.sa_sigaction = onSignal;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        for (int s : kSignals)
            sigaction(s, &action, nullptr);
        g_installed = true;
    }
    return true;
}

} // namespace Platform
