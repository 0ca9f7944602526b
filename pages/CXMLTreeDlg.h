// The node tree page ("XML Tree Viewer"): every node of the camera's feature tree from "Root",
// filtered by visibility, read and written by its interface type. One page per camera window.
#pragma once

#include "camera/CMolvane.h"
#include "pages/CFormPage.h"

#include <optional>
#include <string>

class CXMLTreeDlg : public CFormPage {
public:
    static constexpr int kTemplate = 150;
    CXMLTreeDlg();

    void onInitialUpdate() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;
    void onTimer(int id) override;
    void onClose() override { destroyWindow(); }

    void BuildNodeTree(int item, const std::string &node);
    // The refresh of the selected node (also run by the camera view after acquisition stops).
    void ReadSelectedNode();
    void EnableByAccess();
    void ShowNodeValue();
    void SetNodeValue();

    std::string m_strNode, m_strType, m_strDescription;
    int m_nType = 0;  // 1 IInteger, 2 IFloat, 3 IBoolean, 4 IString, 5 IEnumeration, 6 ICommand
    int m_nAccess = 0;
    int m_bStarted = 0;
    cam::StringList m_varEntries;

private:
    void OnVisibility();
    void OnValueList();
    void RebuildTree();
    void ShowInteger(cam::CMolvane &c);
    void SetInteger(cam::CMolvane &c);
    bool Accepted(cam::CMolvane &c, int v);
    void RunCommand(cam::CMolvane &c);
    void ShowBounds(bool shown);
    void SaveFeatures();
    std::optional<std::string> PickFeatureFile(bool save);
    void LoadFeatures();
    void PauseForGeometry(cam::CMolvane &c, bool pause);
    void ResyncGeometry(cam::CMolvane &c);
    void Warn();
};
