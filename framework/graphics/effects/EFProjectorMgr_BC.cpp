#include "framework/graphics/effects/EFProjectorMgr_BC.h"

#include "framework/graphics/effects/EFFrameLender.h"
#include "framework/graphics/effects/EFObjectEntryList.h"
#include "framework/graphics/effects/EFProjector.h"

#include <new>

u32 EFProjectorMgr_BC::muiNextValidHandle = EF_PROJECTOR_FIRST_HANDLE;

EFProjectorMgr_BC::EFProjectorMgr_BC()
	: muiProjectorCount( 0 ), moProjectors( DTMap<u32, EFProjector *>::DEFAULT_TABLE_SIZE ), mpReceivers( nullptr ),
	  maOccurences(), muiOccurenceCount( 0 ) {
}

EFProjectorMgr_BC::~EFProjectorMgr_BC() {
	DestroyAllProjectors();
	RemoveAllReceivers();
}

EFProjector * EFProjectorMgr_BC::CreateProjector() {
	EFProjector * const projector = new ( std::nothrow ) EFProjector( muiNextValidHandle );
	if ( projector == nullptr ) {
		return nullptr;
	}
	if ( projector->CreateFrame( nullptr ) == nullptr || !moProjectors.Set( projector->GetHandle(), projector ) ) {
		delete projector;
		return nullptr;
	}
	// Its id is its handle, the name its borrowers record as their lender.
	projector->SetUID( projector->GetHandle() );
	muiNextValidHandle++;
	muiProjectorCount++;
	return projector;
}

EFProjector * EFProjectorMgr_BC::GetProjector( const u32 handle ) const {
	const DTMap<u32, EFProjector *>::Node * const node = moProjectors.Find( handle );
	return node != nullptr ? node->mValue : nullptr;
}

void EFProjectorMgr_BC::DestroyProjector( const u32 handle ) {
	EFProjector * const projector = GetProjector( handle );
	if ( projector == nullptr ) {
		return;
	}
	EFReleaseFrameLender( handle );
	moProjectors.Remove( handle );
	delete projector;
	muiProjectorCount--;
}

u32 EFProjectorMgr_BC::AddReceiver( EFGameObject * object, EF3dObj * model ) {
	_sObjectEntry * const entry = new ( std::nothrow ) _sObjectEntry{ nullptr, model, object };
	if ( entry == nullptr ) {
		return 0;
	}
	InitReceiver( entry );
	entry->mpNext = mpReceivers;
	mpReceivers = entry;
	return 1;
}

u32 EFProjectorMgr_BC::RemoveReceiver( EFGameObject * object ) {
	return EFRemoveEveryEntryOf( mpReceivers, object, [this]( _sObjectEntry * entry ) { TermReceiver( entry ); } );
}

s32 EFProjectorMgr_BC::AddOccurence( const _sProjectorOccurence * occurrence ) {
	if ( muiOccurenceCount >= EF_PROJECTOR_MAX_OCCURENCES ) {
		return -1;
	}
	maOccurences[muiOccurenceCount++] = *occurrence;
	return 0;
}

void EFProjectorMgr_BC::Begin( u32 ) {
	muiOccurenceCount = 0;
	for ( DTMap<u32, EFProjector *>::Node * node = moProjectors.GetFirst(); node != nullptr;
		  node = moProjectors.GetNext( node ) ) {
		node->mValue->Begin();
	}
}

void EFProjectorMgr_BC::End() {
	for ( DTMap<u32, EFProjector *>::Node * node = moProjectors.GetFirst(); node != nullptr;
		  node = moProjectors.GetNext( node ) ) {
		node->mValue->End();
	}
}

void EFProjectorMgr_BC::Terminate() {
	DestroyAllProjectors();
	RemoveAllReceivers();
}

void EFProjectorMgr_BC::DestroyAllProjectors() {
	for ( DTMap<u32, EFProjector *>::Node * node = moProjectors.GetFirst(); node != nullptr;
		  node = moProjectors.GetNext( node ) ) {
		delete node->mValue;
		node->mValue = nullptr;
	}
	moProjectors.RemoveAll();
}

void EFProjectorMgr_BC::RemoveAllReceivers() {
	while ( mpReceivers != nullptr ) {
		_sObjectEntry * const next = mpReceivers->mpNext;
		delete mpReceivers;
		mpReceivers = next;
	}
}
