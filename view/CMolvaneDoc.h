// The camera window's document; it holds nothing but pairs with the view as the framework wants.
#pragma once

class CMolvaneDoc {
public:
    bool OnNewDocument() { return true; }
};
