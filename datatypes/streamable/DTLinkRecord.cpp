#include "datatypes/streamable/DTLinkRecord.h"

DTLinkRecord::DTLinkRecord()
	: mppoMemberPointer( nullptr ), mpoParentPointer( nullptr ), miLinkID( 0 ) {
}

DTLinkRecord::DTLinkRecord( DTStreamable ** member, DTStreamable * parent, const s32 linkID )
	: mppoMemberPointer( member ), mpoParentPointer( parent ), miLinkID( linkID ) {
}
