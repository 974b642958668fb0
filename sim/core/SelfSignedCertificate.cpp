#include "SelfSignedCertificate.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace {

QString lastOpenSslError(const char *step)
{
    char text[256] = {};
    ERR_error_string_n(ERR_get_error(), text, sizeof text);
    return QString("%1 failed: %2").arg(step, text);
}

bool addExtension(X509 *certificate, int nid, const char *value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        return false;
    const bool added = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

bool fillCertificate(X509 *certificate, EVP_PKEY *key)
{
    unsigned char serial[8];
    if (RAND_bytes(serial, sizeof serial) != 1)
        return false;
    serial[0] &= 0x7f; // a positive serial number
    BIGNUM *number = BN_bin2bn(serial, sizeof serial, nullptr);
    const bool serialSet = number && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate));
    BN_free(number);

    X509_NAME *name = X509_get_subject_name(certificate);
    const auto add = [name](const char *field, const char *value) {
        return X509_NAME_add_entry_by_txt(name, field, MBSTRING_ASC,
                                          reinterpret_cast<const unsigned char *>(value), -1, -1, 0)
            == 1;
    };
    constexpr long hour = 3600;
    return serialSet && X509_set_version(certificate, 2) == 1
        && X509_gmtime_adj(X509_getm_notBefore(certificate), -hour)
        && X509_gmtime_adj(X509_getm_notAfter(certificate), 365 * 24 * hour)
        && X509_set_pubkey(certificate, key) == 1 && add("O", "Orvane reference platform")
        && add("CN", "127.0.0.1") && X509_set_issuer_name(certificate, name) == 1
        && addExtension(certificate, NID_basic_constraints, "critical,CA:TRUE")
        && addExtension(certificate, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost")
        && X509_sign(certificate, key, EVP_sha256()) > 0;
}

} // namespace

std::unique_ptr<SelfSignedCertificate> SelfSignedCertificate::generate(QString *error)
{
    EVP_PKEY *key = EVP_EC_gen("P-256");
    if (!key) {
        *error = lastOpenSslError("making the key");
        return nullptr;
    }
    X509 *certificate = X509_new();
    if (!certificate || !fillCertificate(certificate, key)) {
        *error = lastOpenSslError("making the certificate");
        X509_free(certificate);
        EVP_PKEY_free(key);
        return nullptr;
    }
    return std::unique_ptr<SelfSignedCertificate>(new SelfSignedCertificate(certificate, key));
}

SelfSignedCertificate::SelfSignedCertificate(X509 *certificate, EVP_PKEY *key)
    : m_certificate(certificate)
    , m_key(key)
{ }

SelfSignedCertificate::~SelfSignedCertificate()
{
    X509_free(m_certificate);
    EVP_PKEY_free(m_key);
}
