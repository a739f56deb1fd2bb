#include "xml/xml_namespace_lookup.h"

#include "xml/xml_names.h"
#include "xml/xml_namespaces.h"

const TXMLNode* FindNamespaceDeclaration(const TXMLNode& element, const QString& namespaceUri)
{
    for (const TXMLNode* scope = &element; scope != nullptr; scope = scope->ParentNode()) {
        for (const TXMLNode& attribute : scope->AttributeNodes()) {
            if (IsNamespaceDeclarationName(attribute.NodeName())
                && attribute.Value().compare(namespaceUri, Qt::CaseInsensitive) == 0) {
                return &attribute;
            }
        }
    }
    return nullptr;
}

QString DeclaredPrefix(const TXMLNode& declaration)
{
    return declaration.Prefix() == kXmlnsName ? declaration.LocalName() : QString();
}

QString NamespaceUriOfPrefix(const TXMLNode& element, const QString& prefix)
{
    for (const TXMLNode* scope = &element; scope != nullptr; scope = scope->ParentNode()) {
        for (const TXMLNode& attribute : scope->AttributeNodes()) {
            if (attribute.Prefix() == kXmlnsName && attribute.LocalName() == prefix) {
                return attribute.Value();
            }
        }
    }
    return {};
}
