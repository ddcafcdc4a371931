#pragma once

#include <cstdint>

// The minidump file layout, as the standard readers (minidump_dump, minidump_stackwalk) expect it. All fields
// are little-endian and packed; offsets ("rva") count from the start of the file.
//
//   header | stream directory | streams...
//
// The writer emits seven streams: system information, exception, thread list (the crashing thread only, with
// its CPU context and a bounded copy of its stack), memory list (that stack copy once more, where the readers
// look up memory), miscellaneous information (the process id), module list (the file mappings of
// /proc/self/maps) and memory information list (every mapping of /proc/self/maps with its protection).
namespace Minidump {

constexpr uint32_t kSignature = 0x504d444d; // "MDMP"
constexpr uint32_t kVersion = 0xa793;

enum StreamType : uint32_t {
    ThreadListStream = 3,
    ModuleListStream = 4,
    MemoryListStream = 5,
    ExceptionStream = 6,
    SystemInfoStream = 7,
    MiscInfoStream = 15,
    MemoryInfoListStream = 16,
};

constexpr uint16_t kArchAmd64 = 9;
constexpr uint16_t kArchArm64 = 0x8003;
constexpr uint16_t kArchUnknown = 0xffff;
constexpr uint32_t kPlatformLinux = 0x8201;

constexpr uint32_t kMiscProcessId = 0x1; // MiscInfo::flags1: processId is set

constexpr uint32_t kCvSignatureElf = 0x4270454c; // "BpEL": a CodeView record holding an ELF build id

// MemoryInfo::state, ::type and the protection flags of ::protect.
constexpr uint32_t kMemCommit = 0x1000;
constexpr uint32_t kMemPrivate = 0x20000;
constexpr uint32_t kMemMapped = 0x40000;
constexpr uint32_t kMemImage = 0x1000000;
constexpr uint32_t kPageNoAccess = 0x01;
constexpr uint32_t kPageReadOnly = 0x02;
constexpr uint32_t kPageReadWrite = 0x04;
constexpr uint32_t kPageExecute = 0x10;
constexpr uint32_t kPageExecuteRead = 0x20;
constexpr uint32_t kPageExecuteReadWrite = 0x40;

constexpr uint32_t kContextAmd64 = 0x00100000;
constexpr uint32_t kContextAmd64Full = kContextAmd64 | 0x1 | 0x2 | 0x8; // control, integer, floating point

#pragma pack(push, 1)
struct Location {
    uint32_t dataSize;
    uint32_t rva;
};

struct MemoryDescriptor {
    uint64_t start;
    Location memory;
};

struct Header {
    uint32_t signature;
    uint32_t version;
    uint32_t streamCount;
    uint32_t directoryRva;
    uint32_t checksum;
    uint32_t timeDateStamp;
    uint64_t flags;
};

struct Directory {
    uint32_t streamType;
    Location location;
};

struct SystemInfo {
    uint16_t processorArchitecture;
    uint16_t processorLevel;
    uint16_t processorRevision;
    uint8_t processorCount;
    uint8_t productType;
    uint32_t majorVersion;
    uint32_t minorVersion;
    uint32_t buildNumber;
    uint32_t platformId;
    uint32_t csdVersionRva;
    uint16_t suiteMask;
    uint16_t reserved2;
    uint32_t cpuInfo[6];
};

struct Exception {
    uint32_t threadId;
    uint32_t alignment;
    uint32_t code;      // the signal number
    uint32_t flags;     // the signal's si_code
    uint64_t record;
    uint64_t address;   // si_addr
    uint32_t parameterCount;
    uint32_t unusedAlignment;
    uint64_t parameters[15];
    Location threadContext;
};

struct Thread {
    uint32_t threadId;
    uint32_t suspendCount;
    uint32_t priorityClass;
    uint32_t priority;
    uint64_t teb;
    MemoryDescriptor stack;
    Location threadContext;
};

struct FixedFileInfo {
    uint32_t fields[13];
};

struct Module {
    uint64_t baseOfImage;
    uint32_t sizeOfImage;
    uint32_t checksum;
    uint32_t timeDateStamp;
    uint32_t moduleNameRva;
    FixedFileInfo versionInfo;
    Location cvRecord;
    Location miscRecord;
    uint64_t reserved0;
    uint64_t reserved1;
};

struct MiscInfo {
    uint32_t sizeOfInfo;
    uint32_t flags1;
    uint32_t processId;
    uint32_t processCreateTime;
    uint32_t processUserTime;
    uint32_t processKernelTime;
};

struct MemoryInfoListHeader {
    uint32_t sizeOfHeader;
    uint32_t sizeOfEntry;
    uint64_t numberOfEntries;
};

struct MemoryInfo {
    uint64_t baseAddress;
    uint64_t allocationBase;
    uint32_t allocationProtect;
    uint32_t alignment1;
    uint64_t regionSize;
    uint32_t state;
    uint32_t protect;
    uint32_t type;
    uint32_t alignment2;
};

struct ContextAmd64 {
    uint64_t homes[6];
    uint32_t contextFlags;
    uint32_t mxCsr;
    uint16_t cs, ds, es, fs, gs, ss;
    uint32_t eflags;
    uint64_t dr[6];
    uint64_t rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi;
    uint64_t r8, r9, r10, r11, r12, r13, r14, r15;
    uint64_t rip;
    uint8_t floatSave[512];
    uint8_t vectorRegisters[26 * 16];
    uint64_t vectorControl;
    uint64_t debugControl;
    uint64_t lastBranchToRip;
    uint64_t lastBranchFromRip;
    uint64_t lastExceptionToRip;
    uint64_t lastExceptionFromRip;
};
#pragma pack(pop)

static_assert(sizeof(Header) == 32, "header");
static_assert(sizeof(Directory) == 12, "directory entry");
static_assert(sizeof(SystemInfo) == 56, "system information");
static_assert(sizeof(Exception) == 168, "exception stream");
static_assert(sizeof(Thread) == 48, "thread");
static_assert(sizeof(Module) == 108, "module");
static_assert(sizeof(ContextAmd64) == 1232, "amd64 context");
static_assert(sizeof(MemoryDescriptor) == 16, "memory descriptor");
static_assert(sizeof(MiscInfo) == 24, "misc information");
static_assert(sizeof(MemoryInfoListHeader) == 16, "memory information list header");
static_assert(sizeof(MemoryInfo) == 48, "memory information");

} // namespace Minidump
