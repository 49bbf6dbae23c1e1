#include "framework/core/level/EFRessourceFactory.h"

#include "framework/core/level/EFRessource.h"

#include <new>

EFRessourceFactory::EFRessourceFactory() : moRessources( DTMap<u32, EFRessourceEntry *>::DEFAULT_TABLE_SIZE ) {
}

EFRessourceFactory::~EFRessourceFactory() {
	Clear();
}

void EFRessourceFactory::RegisterRessource( const u32 id, const u32 users, EFRessource * ressource ) {
	EFRessourceEntry * const entry = new ( std::nothrow ) EFRessourceEntry{ users, ressource };
	if ( entry == nullptr ) {
		return;
	}
	DTMap<u32, EFRessourceEntry *>::Node * const node = moRessources.Find( id );
	if ( node != nullptr ) {
		delete node->mValue;
		node->mValue = entry;
		return;
	}
	if ( !moRessources.Set( id, entry ) ) {
		delete entry;
	}
}

EFRessource * EFRessourceFactory::GetRessource( const u32 id ) {
	DTMap<u32, EFRessourceEntry *>::Node * const node = moRessources.Find( id );
	if ( node == nullptr ) {
		return nullptr;
	}
	EFRessourceEntry * const entry = node->mValue;
	EFRessource * result = nullptr;
	entry->muiUsersLeft--;
	if ( entry->muiUsersLeft != 0 ) {
		result = entry->mpoRessource != nullptr ? entry->mpoRessource->Copy() : nullptr;
	} else {
		result = entry->mpoRessource;
		delete entry;
		moRessources.Remove( id );
	}
	if ( result != nullptr ) {
		result->muiRefCount++;
	}
	return result;
}

void EFRessourceFactory::Clear() {
	for ( DTMap<u32, EFRessourceEntry *>::Node * node = moRessources.GetFirst(); node != nullptr;
		  node = moRessources.GetNext( node ) ) {
		delete node->mValue->mpoRessource;
		delete node->mValue;
	}
	moRessources.RemoveAll();
}
