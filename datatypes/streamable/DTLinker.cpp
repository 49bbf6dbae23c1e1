#include "datatypes/streamable/DTLinker.h"

DTLinker::DTLinker() {
	mvLinkDB.Reserve( DT_LINKER_RESERVED_RECORDS );
}

DTLinker::~DTLinker() {
}

DTStreamable * DTLinker::AddObjectToResolve( const DTLinkRecord & record ) {
	for ( u32 i = 0; i < mvLinkDB.GetSize(); i++ ) {
		if ( mvLinkDB[i] == record ) {
			DTStreamable ** field = mvLinkDB[i].mppoMemberPointer;
			return field != nullptr ? *field : nullptr;
		}
	}
	mvLinkDB.Append( record );
	return nullptr;
}
