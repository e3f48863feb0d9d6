// Makes the stand-ins' test authority a trusted root of this Wine prefix, and
// only of it: the host's trust store is never touched. Run by a ctest fixture
// before the https scenarios; an authority of an earlier start (same subject,
// other key) is taken out first, so the prefix trusts exactly one.
//   trust_test_authority CERT.der
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Owner of one certificate store.
class CCertStore {
public:
    explicit CCertStore(HCERTSTORE store) : m_h(store) {}
    ~CCertStore() {
        if (m_h != nullptr) {
            ::CertCloseStore(m_h, 0);
        }
    }
    CCertStore(const CCertStore&) = delete;
    CCertStore& operator=(const CCertStore&) = delete;
    HCERTSTORE Get() const { return m_h; }

private:
    HCERTSTORE m_h;
};

// Owner of one certificate context.
class CCertificate {
public:
    explicit CCertificate(PCCERT_CONTEXT cert) : m_p(cert) {}
    ~CCertificate() {
        if (m_p != nullptr) {
            ::CertFreeCertificateContext(m_p);
        }
    }
    CCertificate(const CCertificate&) = delete;
    CCertificate& operator=(const CCertificate&) = delete;
    PCCERT_CONTEXT Get() const { return m_p; }

private:
    PCCERT_CONTEXT m_p;
};

// Deletes every certificate of the store whose subject is `subject` (a
// delete frees the context it is given, so the search starts over each time).
void RemoveSameSubject(HCERTSTORE store, const CERT_NAME_BLOB& subject) {
    for (;;) {
        PCCERT_CONTEXT found = ::CertFindCertificateInStore(
            store, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_NAME, &subject, nullptr);
        if (found == nullptr || !::CertDeleteCertificateFromStore(found)) {
            return;
        }
    }
}

int Trust(const std::vector<BYTE>& der) {
    const CCertificate cert(::CertCreateCertificateContext(X509_ASN_ENCODING, der.data(),
                                                           static_cast<DWORD>(der.size())));
    if (cert.Get() == nullptr) {
        std::fprintf(stderr, "trust_test_authority: not a DER certificate (0x%lx)\n",
                     ::GetLastError());
        return 1;
    }
    const CCertStore root(
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root"));
    if (root.Get() == nullptr) {
        std::fprintf(stderr, "trust_test_authority: cannot open the Root store (0x%lx)\n",
                     ::GetLastError());
        return 1;
    }
    RemoveSameSubject(root.Get(), cert.Get()->pCertInfo->Subject);
    if (!::CertAddCertificateContextToStore(root.Get(), cert.Get(), CERT_STORE_ADD_REPLACE_EXISTING,
                                            nullptr)) {
        std::fprintf(stderr, "trust_test_authority: cannot add the authority (0x%lx)\n",
                     ::GetLastError());
        return 1;
    }
    std::printf("trust_test_authority: trusted in this prefix\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trust_test_authority CERT.der\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::vector<BYTE> der((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
    if (der.empty()) {
        std::fprintf(stderr, "trust_test_authority: cannot read %s\n", argv[1]);
        return 1;
    }
    try {
        return Trust(der);
    } catch (...) {
        return 1;
    }
}
