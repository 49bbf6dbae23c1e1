#include "framework/logic/EFLogicCodeMap.h"

#include "datatypes/file/DTFile.h"
#include "framework/logic/EFLogicCode.h"

EFLogicCodeMap::EFLogicCodeMap() : moCodes( DTMap<u32, EFLogicCode *>::DEFAULT_TABLE_SIZE ) {
}

EFLogicCodeMap::~EFLogicCodeMap() {
	DeleteAll();
}

void EFLogicCodeMap::Add( EFLogicCode * code ) {
	if ( code == nullptr ) {
		return;
	}
	const DTMap<u32, EFLogicCode *>::Node * node = moCodes.Find( code->GetID() );
	if ( node != nullptr && node->mValue != code && node->mValue != nullptr ) {
		if ( !moRetired.Append( node->mValue ) ) {
			DTPrintf( "LOGIC CODE %08X: no room to retire the replaced module!!!\n", code->GetID() );
		}
	}
	if ( !moCodes.Set( code->GetID(), code ) ) {
		DTPrintf( "LOGIC CODE %08X: no room in the code map!!!\n", code->GetID() );
	}
}

EFLogicCode * EFLogicCodeMap::Get( const u32 id ) const {
	const DTMap<u32, EFLogicCode *>::Node * node = moCodes.Find( id );
	return node != nullptr ? node->mValue : nullptr;
}

void EFLogicCodeMap::DeleteAll() {
	for ( DTMap<u32, EFLogicCode *>::Node * node = moCodes.GetFirst(); node != nullptr; node = moCodes.GetNext( node ) ) {
		delete node->mValue;
		node->mValue = nullptr;
	}
	moCodes.RemoveAll();
	for ( u32 i = 0; i < moRetired.GetSize(); i++ ) {
		delete moRetired[i];
	}
	moRetired.Resize( 0 );
}
