// Adds a certificate (DER file) to the current user's Root store of the Wine
// prefix it runs in: a test's own CA becomes trusted there and nowhere else.
// Run it only in a prefix copy made for the test (tests/tools/with-site-variants.sh).
//
//   trust_test_ca.exe CA.der
//
// Exit code 0 when the certificate is in the store afterwards.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

struct StoreCloser {
  void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: trust_test_ca CA.der\n", stderr);
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  const std::vector<BYTE> der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (der.empty()) {
    std::fputs("trust_test_ca: cannot read the certificate\n", stderr);
    return 1;
  }
  HCERTSTORE opened = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                    CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
  if (!opened) {
    std::fprintf(stderr, "trust_test_ca: CertOpenStore failed (%lu)\n", GetLastError());
    return 1;
  }
  const std::unique_ptr<void, StoreCloser> store(opened);
  if (!CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der.data(),
                                        static_cast<DWORD>(der.size()),
                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
    std::fprintf(stderr, "trust_test_ca: CertAddEncodedCertificateToStore failed (%lu)\n",
                 GetLastError());
    return 1;
  }
  return 0;
}
