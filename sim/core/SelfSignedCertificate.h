#pragma once

#include <QString>

#include <memory>

typedef struct x509_st X509;
typedef struct evp_pkey_st EVP_PKEY;

// A key pair and a certificate signed by itself for 127.0.0.1 and localhost, made at start so
// that the HTTPS listener can be refused by clients that check certificates.
class SelfSignedCertificate
{
public:
    // Makes a new key (EC P-256) and certificate valid from an hour ago for a year.
    static std::unique_ptr<SelfSignedCertificate> generate(QString *error);
    ~SelfSignedCertificate();

    X509 *certificate() const { return m_certificate; }
    EVP_PKEY *key() const { return m_key; }

private:
    SelfSignedCertificate(X509 *certificate, EVP_PKEY *key);
    SelfSignedCertificate(const SelfSignedCertificate &) = delete;
    SelfSignedCertificate &operator=(const SelfSignedCertificate &) = delete;

    X509 *m_certificate;
    EVP_PKEY *m_key;
};
