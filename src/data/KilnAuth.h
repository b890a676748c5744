// Key providers for enciphered archive records. Readers wrap every record read in Authorize and
// Unauthorize (TKilnAuthSession does both); a provider answers atProvideKey by calling
// ProvideKey, and is called with atBurnKey when the read is over so that it can wipe its key.
// The game registers no provider, so enciphered records stay unreadable.
#pragma once

#include "data/KilnXtea.h"

#include <functional>
#include <vector>

namespace bw {

class TKilnArchive;
class TKilnAuth;

enum TAuthType : uint8_t {
    atProvideKey = 0,
    atBurnKey = 1,
};

using AuthCallback =
    std::function<void(void* Sender, TKilnAuth& Auth, TAuthType AuthType, TKilnArchive* Archive)>;

struct TAuthItem {
    AuthCallback Callback;
    int ItemID = 0;
};

class TKilnAuth {
public:
    // Appends a provider; identifiers count 0, 1, 2, ... in subscription order.
    int Subscribe(AuthCallback callback);
    // Ends any authorisation and removes the provider.
    void Unsubscribe(int eventID);
    // Asks the providers in order until one provides a key; true when one did.
    bool Authorize(void* sender, TKilnArchive* archive);
    // Called by a provider during Authorize: the key becomes the archive's password. The key
    // must stay valid until the provider is asked to burn it.
    void ProvideKey(const XteaKey* key);
    // Lets the granting provider burn its key and forgets the authorisation; the archive's
    // password is cleared so that it never points at a burnt key.
    void Unauthorize();

    bool Authorized() const { return FAuthorized; }
    int ProviderCount() const { return static_cast<int>(FItems.size()); }

private:
    std::vector<TAuthItem> FItems;
    int FNextID = 0;
    int FCurrentID = -1; // provider being asked right now
    bool FAuthorized = false;
    TKilnArchive* FAuthArchive = nullptr;
    void* FAuthSender = nullptr;
    int FAuthIndex = -1; // identifier of the provider that granted the key
};

// The process-wide instance.
TKilnAuth& KilnAuth();

// Authorize on construction, Unauthorize on destruction.
class TKilnAuthSession {
public:
    TKilnAuthSession(void* sender, TKilnArchive* archive);
    TKilnAuthSession(const TKilnAuthSession&) = delete;
    TKilnAuthSession& operator=(const TKilnAuthSession&) = delete;
    ~TKilnAuthSession();

private:
    bool FActive = false;
};

} // namespace bw
