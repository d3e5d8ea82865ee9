#include "core/storage/ErrorKind.h"

#include <cerrno>

namespace fb {
namespace {

bool isLinkFailure(ISC_STATUS code)
{
    switch (code) {
    case isc_network_error:
    case isc_net_connect_err:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_lost_db_connection:
    case isc_conn_lost:
    case isc_shutdown:
    case isc_att_shutdown:
        return true;
    default:
        return false;
    }
}

// What one reading of the status vector found.
struct Findings
{
    bool linkFailure = false;
    bool noReadWriteAccess = false; // the engine's own refusal to write the file
    bool lockDirectoryNotMade = false;
    bool engineCallFailed = false; // a system call of the engine's lock and memory machinery
    bool fileInputOutput = false;  // a read, write or open of the database file
    bool badFormat = false;
    bool loginRefused = false;
    int systemError = 0; // the first operating-system error carried
};

Findings read(const ISC_STATUS* status)
{
    Findings found;
    // The vector is a list of clusters: a tag, then one value (two for a counted string).
    // Every code in it counts, not only the first.
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        const ISC_STATUS tag = *p++;
        if (tag == isc_arg_gds) {
            const ISC_STATUS code = *p;
            found.linkFailure |= isLinkFailure(code);
            found.noReadWriteAccess |= code == isc_no_priv || code == isc_read_only_database;
            found.lockDirectoryNotMade |= code == isc_lock_dir_access;
            found.engineCallFailed |= code == isc_sys_request;
            found.fileInputOutput |= code == isc_io_error;
            found.badFormat |= code == isc_bad_db_format;
            found.loginRefused |= code == isc_login;
        } else if (tag == isc_arg_unix && found.systemError == 0) {
            found.systemError = int(*p);
        }
        p += tag == isc_arg_cstring ? 2 : 1;
    }
    return found;
}

} // namespace

ErrorKind kindOf(const ISC_STATUS* status)
{
    const Findings found = read(status);
    if (found.linkFailure)
        return ErrorKind::ConnectionLost;
    if (found.loginRefused)
        return ErrorKind::LoginRefused;
    switch (found.systemError) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorKind::DiskFull;
    case EROFS:
        return ErrorKind::NotWritable;
    default:
        break;
    }
    if (found.noReadWriteAccess)
        return ErrorKind::NotWritable;
    // The engine makes its lock folder under a temporary name in the database's folder first:
    // failing that, the folder cannot be written.
    if (found.lockDirectoryNotMade)
        return ErrorKind::FolderNotWritable;
    // The engine's own system calls outside the database file's I/O work on the lock folder
    // and the lock files in it.
    if (found.engineCallFailed && !found.fileInputOutput)
        return ErrorKind::LockFolder;
    if (found.badFormat)
        return ErrorKind::NotDatabase;
    if (found.fileInputOutput) {
        switch (found.systemError) {
        case EACCES:
        case EPERM:
            return ErrorKind::NotWritable;
        case ENOENT:
        case ESTALE:
            return ErrorKind::FileMissing;
        default:
            break;
        }
    }
    return ErrorKind::Other;
}

} // namespace fb
