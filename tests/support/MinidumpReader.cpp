#include "MinidumpReader.h"

#include "platform/crash/MinidumpFormat.h"

#include <QFile>

#include <cstring>
#include <elf.h>

namespace {

template <typename T>
bool readAt(const QByteArray& file, quint64 offset, T* out)
{
    if (offset + sizeof(T) > static_cast<quint64>(file.size()))
        return false;
    memcpy(out, file.constData() + offset, sizeof(T));
    return true;
}

bool readName(const QByteArray& file, quint32 rva, QString* out)
{
    quint32 bytes = 0;
    if (!readAt(file, rva, &bytes) || bytes % 2 != 0 || rva + 4ull + bytes + 2 > static_cast<quint64>(file.size()))
        return false;
    QVector<char16_t> text(bytes / 2);
    memcpy(text.data(), file.constData() + rva + 4, bytes);
    *out = QString::fromUtf16(text.constData(), text.size());
    return true;
}

} // namespace

MinidumpContents readMinidump(const QByteArray& file)
{
    using namespace Minidump;
    MinidumpContents c;
    Header header;
    if (!readAt(file, 0, &header) || header.signature != kSignature || (header.version & 0xffff) != kVersion) {
        c.error = QStringLiteral("bad header");
        return c;
    }
    for (quint32 i = 0; i < header.streamCount; ++i) {
        Directory entry;
        if (!readAt(file, header.directoryRva + quint64(i) * sizeof(Directory), &entry)
            || entry.location.rva + quint64(entry.location.dataSize) > quint64(file.size())) {
            c.error = QStringLiteral("stream %1 out of the file").arg(i);
            return c;
        }
        c.streamTypes << entry.streamType;
        const quint32 rva = entry.location.rva;
        if (entry.streamType == SystemInfoStream) {
            SystemInfo system;
            readAt(file, rva, &system);
            c.architecture = system.processorArchitecture;
            c.platformId = system.platformId;
        } else if (entry.streamType == ExceptionStream) {
            Exception exception;
            readAt(file, rva, &exception);
            c.exceptionThread = exception.threadId;
            c.signal = exception.code;
            c.signalCode = exception.flags;
            c.exceptionAddress = exception.address;
            ContextAmd64 context;
            if (exception.threadContext.dataSize != sizeof(ContextAmd64)
                || !readAt(file, exception.threadContext.rva, &context)) {
                c.error = QStringLiteral("exception context");
                return c;
            }
            c.instructionPointer = context.rip;
            c.stackPointer = context.rsp;
        } else if (entry.streamType == ThreadListStream) {
            quint32 count = 0;
            readAt(file, rva, &count);
            for (quint32 t = 0; t < count; ++t) {
                Thread thread;
                if (!readAt(file, rva + 4 + quint64(t) * sizeof(Thread), &thread)
                    || thread.stack.memory.rva + quint64(thread.stack.memory.dataSize) > quint64(file.size())) {
                    c.error = QStringLiteral("thread %1").arg(t);
                    return c;
                }
                c.threadIds << thread.threadId;
                c.stackStart = thread.stack.start;
                c.stackSize = thread.stack.memory.dataSize;
            }
        } else if (entry.streamType == ModuleListStream) {
            quint32 count = 0;
            readAt(file, rva, &count);
            for (quint32 m = 0; m < count; ++m) {
                Module module;
                QString name;
                if (!readAt(file, rva + 4 + quint64(m) * sizeof(Module), &module)
                    || !readName(file, module.moduleNameRva, &name)) {
                    c.error = QStringLiteral("module %1").arg(m);
                    return c;
                }
                c.modules << name;
                QByteArray id;
                if (module.cvRecord.dataSize > 0) {
                    quint32 signature = 0;
                    if (module.cvRecord.dataSize < 4
                        || module.cvRecord.rva + quint64(module.cvRecord.dataSize) > quint64(file.size())
                        || !readAt(file, module.cvRecord.rva, &signature) || signature != kCvSignatureElf) {
                        c.error = QStringLiteral("module %1's CodeView record").arg(m);
                        return c;
                    }
                    id = file.mid(int(module.cvRecord.rva) + 4, int(module.cvRecord.dataSize) - 4);
                }
                c.buildIds << id;
            }
        } else if (entry.streamType == MemoryListStream) {
            quint32 count = 0;
            readAt(file, rva, &count);
            for (quint32 m = 0; m < count; ++m) {
                MemoryDescriptor range;
                if (!readAt(file, rva + 4 + quint64(m) * sizeof(MemoryDescriptor), &range)
                    || range.memory.rva + quint64(range.memory.dataSize) > quint64(file.size())) {
                    c.error = QStringLiteral("memory range %1").arg(m);
                    return c;
                }
                c.memoryRanges << qMakePair(quint64(range.start), quint32(range.memory.dataSize));
            }
        } else if (entry.streamType == MiscInfoStream) {
            MiscInfo misc;
            if (!readAt(file, rva, &misc) || misc.sizeOfInfo != sizeof(MiscInfo) || !(misc.flags1 & kMiscProcessId)) {
                c.error = QStringLiteral("misc info");
                return c;
            }
            c.processId = misc.processId;
        } else if (entry.streamType == MemoryInfoListStream) {
            MemoryInfoListHeader list;
            if (!readAt(file, rva, &list) || list.sizeOfHeader != sizeof(MemoryInfoListHeader)
                || list.sizeOfEntry != sizeof(MemoryInfo)
                || list.sizeOfHeader + list.numberOfEntries * sizeof(MemoryInfo) != entry.location.dataSize) {
                c.error = QStringLiteral("memory info list");
                return c;
            }
            for (quint64 m = 0; m < list.numberOfEntries; ++m) {
                MemoryInfo info;
                readAt(file, rva + sizeof(MemoryInfoListHeader) + m * sizeof(MemoryInfo), &info);
                c.memoryInfo.append({info.baseAddress, info.regionSize, info.protect});
            }
        }
    }
    return c;
}

QByteArray elfBuildId(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray file = f.readAll();
    Elf64_Ehdr header;
    if (!readAt(file, 0, &header) || memcmp(header.e_ident, ELFMAG, SELFMAG) != 0
        || header.e_ident[EI_CLASS] != ELFCLASS64)
        return QByteArray();
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        if (!readAt(file, header.e_phoff + quint64(i) * sizeof(Elf64_Phdr), &segment) || segment.p_type != PT_NOTE)
            continue;
        const quint64 alignment = segment.p_align == 8 ? 8 : 4;
        const auto up = [alignment](quint64 v) { return (v + alignment - 1) & ~(alignment - 1); };
        for (quint64 at = segment.p_offset; at + sizeof(Elf64_Nhdr) <= segment.p_offset + segment.p_filesz;) {
            Elf64_Nhdr note;
            readAt(file, at, &note);
            const quint64 name = at + sizeof(note);
            const quint64 desc = name + up(note.n_namesz);
            if (desc + note.n_descsz > quint64(file.size()))
                break;
            if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 && file.mid(int(name), 4) == QByteArray("GNU", 4))
                return file.mid(int(desc), int(note.n_descsz));
            at = desc + up(note.n_descsz);
        }
    }
    return QByteArray();
}
