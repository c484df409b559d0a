#include "xlswriter/ZipWriter.h"

#include <stdexcept>
#include <zip.h>

namespace tabulon::xlsw {

QByteArray zipParts(const std::vector<ZipPart>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* zip = target ? zip_open_from_source(target, ZIP_TRUNCATE, &error) : nullptr;
    if (!zip) {
        if (target) zip_source_free(target);
        throw std::runtime_error("zip_open_from_source");
    }
    // The archive hands the target back to us when it closes.
    zip_source_keep(target);
    for (const ZipPart& p : parts) {
        zip_source_t* data = zip_source_buffer(zip, p.bytes.constData(), zip_uint64_t(p.bytes.size()), 0);
        const zip_int64_t index = data ? zip_file_add(zip, p.name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (data) zip_source_free(data);
            const std::string why = zip_strerror(zip);
            zip_discard(zip);
            zip_source_free(target);
            throw std::runtime_error(why);
        }
        if (p.stored) zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(zip) != 0) {
        zip_discard(zip);
        zip_source_free(target);
        throw std::runtime_error("zip_close");
    }
    QByteArray out;
    zip_stat_t st;
    if (zip_source_stat(target, &st) == 0 && zip_source_open(target) == 0) {
        out.resize(qsizetype(st.size));
        zip_source_read(target, out.data(), st.size);
        zip_source_close(target);
    }
    zip_source_free(target);
    return out;
}

}  // namespace tabulon::xlsw
