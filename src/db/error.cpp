#include "db/error.h"

#include "core/CodePage.h"

#include <cstring>
#include <memory>
#include <new>

namespace db {
namespace {

constexpr oci::ub4 kMessageBufferSize = 4000;

bool statusHasMessage(oci::sword status)
{
    return status == oci::OCI_SUCCESS_WITH_INFO || status == oci::OCI_NO_DATA
           || status == oci::OCI_ERROR || status == oci::OCI_STILL_EXECUTING;
}

} // namespace

const char *error::kind_name(int kind)
{
    switch (kind) {
    case oracle_kind:
        return "Oracle";
    case library_kind:
        return "Tarvolo";
    case win32_kind:
        return "Win32 API";
    default:
        return "unknown";
    }
}

const char *error::status_name(oci::sword status)
{
    switch (status) {
    case oci::OCI_SUCCESS:
        return "(OCI_SUCCESS)";
    case oci::OCI_SUCCESS_WITH_INFO:
        return "(OCI_SUCCESS_WITH_INFO)";
    case oci::OCI_NEED_DATA:
        return "(OCI_NEED_DATA)";
    case oci::OCI_NO_DATA:
        return "(OCI_NO_DATA)";
    case oci::OCI_ERROR:
        return "(OCI_ERROR)";
    case oci::OCI_INVALID_HANDLE:
        return "(OCI_INVALID_HANDLE)";
    case oci::OCI_STILL_EXECUTING:
        return "(OCI_STILL_EXECUTING)";
    case oci::OCI_CONTINUE:
        return "(OCI_CONTINUE)";
    default:
        return "unknown";
    }
}

const char *error::library_text(int code)
{
    switch (code) {
    case environment_failed:
        return "Environment handle creation failed";
    case timeout:
        return "Statement took too long to complete and has been aborted";
    case out_of_memory:
        return "Memory allocation request has failed";
    case bad_parameter_type:
        return "Parameter type is incorrect";
    case no_pool:
        return "Connection pool has not been setup yet";
    case input_type:
        return "Input data doesn't have expected type";
    case cannot_convert:
        return "Cannot convert to requested type";
    case no_transformation:
        return "Requested transformation is not possible";
    case unknown_prefix:
        return "Parameter prefix is not known";
    case unsupported_type:
        return "Unsupported type - this version of the program doesn't support such an Oracle type";
    case parameter_not_found:
        return "Name not found in statement's parameters";
    case column_not_found:
        return "Result set doesn't contain column with such name";
    case internal_error:
        return "Internal library error. Please, report to developers";
    default:
        return "unknown error";
    }
}

error error::oracle(const oci::api *table, oci::sword status, void *handle, oci::ub4 handleType,
                    std::string_view detail, const char *module, int line)
{
    error e;
    e.m_kind = oracle_kind;
    e.m_code = status;
    e.m_description = status_name(status);
    e.m_module = module != nullptr ? module : "";
    e.m_line = line;
    if (statusHasMessage(status) && table != nullptr && table->OCIErrorGet != nullptr
        && handle != nullptr) {
        std::unique_ptr<oci::OraText[]> buffer(new (std::nothrow) oci::OraText[kMessageBufferSize]);
        if (buffer) {
            std::memset(buffer.get(), 0, kMessageBufferSize);
            oci::sb4 number = 0;
            table->OCIErrorGet(handle, 1, nullptr, &number, buffer.get(), kMessageBufferSize,
                               handleType);
            buffer[kMessageBufferSize - 1] = 0;
            e.m_oracle_error = number;
            e.m_description += ' ';
            e.m_description += reinterpret_cast<const char *>(buffer.get());
        }
    }
    e.append_detail(detail);
    return e;
}

std::string error::record_text(const oci::api *table, void *handle, oci::ub4 handleType) noexcept
{
    if (table == nullptr || table->OCIErrorGet == nullptr || handle == nullptr)
        return {};
    try {
        std::string buffer(kMessageBufferSize, '\0');
        oci::sb4 number = 0;
        const oci::sword s = table->OCIErrorGet(handle, 1, nullptr, &number,
                                                reinterpret_cast<oci::OraText *>(buffer.data()),
                                                kMessageBufferSize, handleType);
        if (s != oci::OCI_SUCCESS)
            return {};
        buffer.resize(std::strlen(buffer.c_str()));
        while (!buffer.empty() && (buffer.back() == '\n' || buffer.back() == '\r'))
            buffer.pop_back();
        return buffer;
    } catch (...) { // out of memory: the warning is lost, the call still succeeded
        return {};
    }
}

error error::library(int code, std::string_view detail, const char *module, int line)
{
    error e;
    e.m_kind = library_kind;
    e.m_code = code;
    e.m_description = library_text(code);
    e.m_module = module != nullptr ? module : "";
    e.m_line = line;
    e.append_detail(detail);
    return e;
}

void error::append_detail(std::string_view detail)
{
    if (detail.empty())
        return;
    std::size_t keep = std::min(detail.size(), max_detail);
    // In a UTF-8 code page never keep half a character: back up to the start of a cut sequence.
    if (keep < detail.size() && codepage::systemWriteCodePage() == codepage::kUtf8) {
        while (keep > 0 && (static_cast<unsigned char>(detail[keep]) & 0xC0) == 0x80)
            --keep;
    }
    m_description += ": ";
    m_description.append(detail.substr(0, keep));
}

QString error::display_text() const
{
    return QStringLiteral("Error type: ") + QString::fromLatin1(kind_name(m_kind))
           + QStringLiteral("\nDescription: ")
           + codepage::toUnicode(QByteArrayView(m_description.data(),
                                                static_cast<qsizetype>(m_description.size())),
                                 codepage::kSystemAnsi)
           + QStringLiteral("\n");
}

} // namespace db
