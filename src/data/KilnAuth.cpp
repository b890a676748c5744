#include "data/KilnAuth.h"

#include "data/KilnArchive.h"

#include <algorithm>

namespace bw {

int TKilnAuth::Subscribe(AuthCallback callback) {
    const int id = FNextID++;
    FItems.push_back({std::move(callback), id});
    return id;
}

void TKilnAuth::Unsubscribe(int eventID) {
    Unauthorize();
    FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                                [eventID](const TAuthItem& i) { return i.ItemID == eventID; }),
                 FItems.end());
}

bool TKilnAuth::Authorize(void* sender, TKilnArchive* archive) {
    Unauthorize();
    FAuthArchive = archive;
    FAuthSender = sender;
    // By index and with a copy of the callback: a provider may subscribe or unsubscribe.
    for (std::size_t i = 0; i < FItems.size() && !FAuthorized; ++i) {
        const TAuthItem item = FItems[i];
        FCurrentID = item.ItemID;
        if (item.Callback) item.Callback(sender, *this, atProvideKey, archive);
    }
    FCurrentID = -1;
    if (!FAuthorized) {
        FAuthArchive = nullptr;
        FAuthSender = nullptr;
    }
    return FAuthorized;
}

void TKilnAuth::ProvideKey(const XteaKey* key) {
    if (FCurrentID < 0 || key == nullptr) return; // only while a provider is being asked
    if (FAuthArchive) FAuthArchive->SetPassword(key);
    FAuthorized = true;
    FAuthIndex = FCurrentID;
}

void TKilnAuth::Unauthorize() {
    if (FAuthorized) {
        for (const auto& item : FItems) {
            if (item.ItemID == FAuthIndex && item.Callback) {
                const AuthCallback cb = item.Callback;
                cb(FAuthSender, *this, atBurnKey, FAuthArchive);
                break;
            }
        }
        if (FAuthArchive) FAuthArchive->SetPassword(nullptr);
    }
    FAuthorized = false;
    FAuthArchive = nullptr;
    FAuthSender = nullptr;
    FAuthIndex = -1;
    FCurrentID = -1;
}

TKilnAuth& KilnAuth() {
    static TKilnAuth instance;
    return instance;
}

TKilnAuthSession::TKilnAuthSession(void* sender, TKilnArchive* archive) {
    KilnAuth().Authorize(sender, archive);
    FActive = true;
}

TKilnAuthSession::~TKilnAuthSession() {
    if (FActive) KilnAuth().Unauthorize();
}

} // namespace bw
