#include "framework/logic/EFLogicCallbackRecord.h"

#include "framework/core/world/EFGameObject.h"

EFLogicCallbackRecord EFLogicCallbackRecordOf( EFGameObject * object, const u32 function ) {
	EFLogicCallbackRecord record;
	record.mpoGameObject = object;
	record.muiFunction = function;
	record.muiObjectId = object != nullptr ? object->GetUID() : 0;
	return record;
}

EFLogicCallbackRecord * EFNewLogicCallbackRecord( EFGameObject * object, const u32 function ) {
	return new EFLogicCallbackRecord( EFLogicCallbackRecordOf( object, function ) );
}
