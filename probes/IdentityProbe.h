// Who and what the workstation is: computer name, domain or workgroup, user
// name, and the owner, organisation and product id recorded at
// installation. Texts in the local code page, into the caller's buffers of
// at least 256 bytes each.
#pragma once
#include <cstdint>

// Fills the seven texts; a fact that cannot be read is the empty text.
// `size` bounds every copy: a text is cut to size - 1 bytes (values above
// 256 count as 256). Always 1.
uint32_t QueryWorkstationIdentity(char* computerName, char* domain, char* workgroup, char* userName, char* owner,
                                  char* organization, char* productId, uint32_t size);

// The workstation's LAN group name into `domain` when the machine belongs to
// a domain, into `workgroup` when it belongs to a workgroup; both stay empty
// when either question cannot be answered.
void QueryLanGroup(char* domain, char* workgroup);

// 1 when the local security policy names a primary domain with a security
// identifier, 0 when it names none, otherwise the failing call's status.
uint32_t QueryDomainMembership();

// LsaOpenPolicy on `serverName` (UTF-16; null for the local machine) with
// `access`; the handle goes to *handleOut. Returns the call's status.
int32_t OpenLocalPolicy(const wchar_t* serverName, uint32_t access, void** handleOut);
