// Resources: whole buffers in blocks of their own, found through a sorted
// in-memory index of {key, offset} that is written back to the resource
// table when its counter shows a change.
#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "Foundation/Database/RecordManager/RecordManagerLayout.h"

using namespace RecordLayout;

unsigned CT_RecordManager::n_FindResource(st_Resource* psoResource) const {
    unsigned position = co_Resources.n_Find(psoResource);
    if (position == 0) {
        v_SetError(CT_DatabaseError::e_ResourceNotFound);
        return 0;
    }
    st_Resource found;
    co_Resources.v_GetAt(&found, position);
    psoResource->n_Offset = found.n_Offset;
    return position;
}

unsigned CT_RecordManager::n_ReadResourceSize(unsigned nOffset) const {
    unsigned size = n_Read(nOffset);
    if (b_Failed(__LINE__)) return 0;
    // A size word past the end would free, hand out or read space that is
    // not this resource's.
    if (size > n_Field(e_EndOffsetField)) {
        v_SetError(CT_DatabaseError::e_CorruptData);
        return 0;
    }
    return size;
}

void CT_RecordManager::v_AddResource(unsigned nKey, CT_Buffer const* pcoData) {
    if (!b_CheckWritable()) return;
    if (n_Field(e_ResourceCountField) >= n_Field(e_ResourceMaxCountField)) {
        v_SetError(CT_DatabaseError::e_ResourceMaxCount);
        return;
    }
    st_Resource resource{nKey, 0};
    if (co_Resources.n_Find(&resource) != 0) {
        v_SetError(CT_DatabaseError::e_ResourceExists);
        return;
    }
    unsigned length = pcoData->n_GetUsedSize();
    resource.n_Offset = n_GetFreeBlock(length + e_LengthWordSize);
    if (b_Failed(__LINE__)) return;
    v_WriteBlock(resource.n_Offset, length + e_LengthWordSize, pcoData->qcv_Get(), length);
    if (b_Failed(__LINE__)) return;
    co_Resources.v_Insert(&resource);
    v_RaiseField(e_ResourceCountField);
    v_RaiseField(e_ModificationCounterField);
    v_RaiseField(e_ResourceTableCounterField);
}

void CT_RecordManager::v_UpdateResource(unsigned nKey, CT_Buffer const* pcoData) {
    if (!b_CheckWritable()) return;
    st_Resource resource{nKey, 0};
    unsigned position = n_FindResource(&resource);
    if (b_Failed(__LINE__)) return;
    unsigned oldSize = n_ReadResourceSize(resource.n_Offset);
    if (b_Failed(__LINE__)) return;
    // The old block is rewritten in place or freed: either way it must lie
    // in the data area.
    if (!b_CheckWritablePiece(resource.n_Offset, oldSize)) return;
    unsigned length = pcoData->n_GetUsedSize();
    unsigned newSize = length + e_LengthWordSize;
    if (n_AlignBlockSize(oldSize) != n_AlignBlockSize(newSize)) {
        v_PutFreeBlock(0, resource.n_Offset, oldSize);
        if (b_Failed(__LINE__)) return;
        unsigned fresh = n_GetFreeBlock(newSize);
        if (b_Failed(__LINE__)) return;
        v_WriteBlock(fresh, newSize, pcoData->qcv_Get(), length);
        if (b_Failed(__LINE__)) return;
        resource.n_Offset = fresh;
        co_Resources.v_SetAt(&resource, position);
        v_RaiseField(e_ResourceTableCounterField);
    } else {
        v_WriteBlock(resource.n_Offset, newSize, pcoData->qcv_Get(), length);
        if (b_Failed(__LINE__)) return;
    }
    v_RaiseField(e_ModificationCounterField);
}

void CT_RecordManager::v_GetResource(unsigned nKey, CT_Buffer* pcoData) {
    st_Resource resource{nKey, 0};
    n_FindResource(&resource);
    if (b_Failed(__LINE__)) return;
    unsigned size = n_ReadResourceSize(resource.n_Offset);
    if (b_Failed(__LINE__)) return;
    if (size < e_LengthWordSize) {
        v_SetError(CT_DatabaseError::e_CorruptData);
        return;
    }
    v_Read(pcoData, resource.n_Offset + e_LengthWordSize, size - e_LengthWordSize);
    if (b_Failed(__LINE__)) pcoData->v_SetUsedSize(0);
}

void CT_RecordManager::v_DeleteResource(unsigned nKey) {
    if (!b_CheckWritable()) return;
    st_Resource resource{nKey, 0};
    unsigned position = n_FindResource(&resource);
    if (b_Failed(__LINE__)) return;
    unsigned size = n_ReadResourceSize(resource.n_Offset);
    if (b_Failed(__LINE__)) return;
    v_PutFreeBlock(0, resource.n_Offset, size);
    if (b_Failed(__LINE__)) return;
    co_Resources.v_RemoveAt(position);
    v_SetField(e_ResourceCountField, n_Field(e_ResourceCountField) - 1);
    v_RaiseField(e_ModificationCounterField);
    v_RaiseField(e_ResourceTableCounterField);
}

int CT_RecordManager::b_ResourceExists(unsigned nKey) const {
    st_Resource resource{nKey, 0};
    return co_Resources.n_Find(&resource) != 0;
}

unsigned CT_RecordManager::n_GetResourceKeyAt(unsigned nIndex) const {
    if (nIndex == 0 || nIndex > co_Resources.n_GetCount()) return 0xFFFFFFFFu;
    st_Resource resource;
    co_Resources.v_GetAt(&resource, nIndex);
    return resource.n_Key;
}
