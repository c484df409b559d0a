// Measures zip (libzip, minizip, libarchive) and XML (expat, libxml2 SAX) on one package.
#include <zip.h>
#include <minizip/unzip.h>
#include <archive.h>
#include <archive_entry.h>
#include <expat.h>
#include <libxml/parser.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>
using namespace std;
static double now() { return chrono::duration<double>(chrono::steady_clock::now().time_since_epoch()).count(); }
vector<char> fileBytes(const char* p) { ifstream f(p, ios::binary); return vector<char>((istreambuf_iterator<char>(f)), {}); }

size_t viaLibzip(const vector<char>& b, string* sheet) {
  zip_error_t e; zip_source_t* s = zip_source_buffer_create(b.data(), b.size(), 0, &e);
  zip_t* z = zip_open_from_source(s, ZIP_RDONLY, &e); size_t tot = 0;
  vector<char> buf(1 << 16);
  for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
    zip_file_t* f = zip_fopen_index(z, i, 0); zip_int64_t n; bool want = sheet && strcmp(zip_get_name(z, i, 0), "xl/worksheets/sheet1.xml") == 0;
    while ((n = zip_fread(f, buf.data(), buf.size())) > 0) { tot += n; if (want) sheet->append(buf.data(), n); }
    zip_fclose(f);
  }
  zip_close(z); return tot;
}
// minizip through its file API on the path (it has no memory source in 1.1 without ioapi_mem)
size_t viaMinizip(const char* path) {
  unzFile u = unzOpen(path); size_t tot = 0; vector<char> buf(1 << 16);
  for (int r = unzGoToFirstFile(u); r == UNZ_OK; r = unzGoToNextFile(u)) {
    unzOpenCurrentFile(u); int n; while ((n = unzReadCurrentFile(u, buf.data(), buf.size())) > 0) tot += n; unzCloseCurrentFile(u);
  }
  unzClose(u); return tot;
}
size_t viaArchive(const vector<char>& b) {
  archive* a = archive_read_new(); archive_read_support_format_zip(a);
  archive_read_open_memory(a, b.data(), b.size()); archive_entry* e; size_t tot = 0; vector<char> buf(1 << 16);
  while (archive_read_next_header(a, &e) == ARCHIVE_OK) { la_ssize_t n; while ((n = archive_read_data(a, buf.data(), buf.size())) > 0) tot += n; }
  archive_read_free(a); return tot;
}
struct Count { size_t elems = 0, chars = 0; };
size_t viaExpat(const string& x) {
  XML_Parser p = XML_ParserCreate(nullptr); Count c; XML_SetUserData(p, &c);
  XML_SetElementHandler(p, [](void* u, const char*, const char**) { ((Count*)u)->elems++; }, [](void*, const char*) {});
  XML_SetCharacterDataHandler(p, [](void* u, const char*, int n) { ((Count*)u)->chars += n; });
  for (size_t off = 0; off < x.size(); off += 65536) { size_t n = min<size_t>(65536, x.size() - off); XML_Parse(p, x.data() + off, n, off + n == x.size()); }
  XML_ParserFree(p); return c.elems;
}
size_t viaLibxml(const string& x) {
  xmlSAXHandler h; memset(&h, 0, sizeof h); h.initialized = XML_SAX2_MAGIC; Count c;
  h.startElementNs = [](void* u, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int, int, const xmlChar**) { ((Count*)u)->elems++; };
  h.characters = [](void* u, const xmlChar*, int n) { ((Count*)u)->chars += n; };
  xmlParserCtxtPtr ctx = xmlCreatePushParserCtxt(&h, &c, nullptr, 0, nullptr);
  for (size_t off = 0; off < x.size(); off += 65536) { size_t n = min<size_t>(65536, x.size() - off); xmlParseChunk(ctx, x.data() + off, n, off + n == x.size()); }
  xmlFreeParserCtxt(ctx); return c.elems;
}
int main(int argc, char** argv) {
  auto b = fileBytes(argv[1]); string sheet; viaLibzip(b, &sheet);
  if (argc > 2) { string m = argv[2]; size_t r = 0;
    if (m == "libzip") r = viaLibzip(b, nullptr); else if (m == "minizip") r = viaMinizip(argv[1]);
    else if (m == "libarchive") r = viaArchive(b); else if (m == "base") r = 0; else if (m == "expat") r = viaExpat(sheet); else r = viaLibxml(sheet);
    printf("%s %zu\n", m.c_str(), r); return 0; }
  for (int round = 0; round < 3; ++round) {
    double t = now(); size_t n1 = viaLibzip(b, nullptr); double t1 = now() - t;
    t = now(); size_t n2 = viaMinizip(argv[1]); double t2 = now() - t;
    t = now(); size_t n3 = viaArchive(b); double t3 = now() - t;
    t = now(); size_t e1 = viaExpat(sheet); double t4 = now() - t;
    t = now(); size_t e2 = viaLibxml(sheet); double t5 = now() - t;
    printf("inflate %zu bytes: libzip %.3f s, minizip %.3f s (%zu), libarchive %.3f s (%zu) | sheet %zu bytes: expat %.3f s (%zu elems), libxml2 SAX %.3f s (%zu)\n",
           n1, t1, t2, n2, t3, n3, sheet.size(), t4, e1, t5, e2);
  }
}
