#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"
#include "datatypes/file/DTFile.h"
#include "framework/core/engine/EFEngineController.h"

namespace {

bool bDone = false;

// The disc cannot be written: the file is opened and closed, and the
// text replaced by the unimplemented-write message. Only a handle that
// was opened is closed.
void QAAppendToFile( char * path, char * text ) {
	DTFileHandle_ * const file = DTFopen( path, "a+" );
	DTFputs( text, file );
	if ( file != nullptr ) {
		DTFclose( file );
	}
}

void QASendToOstrelle( char * ) {
}

// The frame loop ends at the end of the current frame.
void QACloseGame() {
	if ( gpoEngineController != nullptr ) {
		gpoEngineController->SetFlags( EF_CONTROLLER_QUIT );
	}
}

}

void ApiQANotInit() {
	bDone = true;
}

bool ApiQANotInitDone() {
	return bDone;
}

constexpr _api_qa APIqaStubs = MakeLogicApiStubs<_api_qa, ApiQANotInit>();
constinit _api_qa APIqa = MakeLogicApiStubs<_api_qa, ApiQANotInit>();

void Init_QA() {
	InitAPI( &APIqa, LOGIC_API_QA_SLOTS, &APIqaStubs );
	APIqa.AppendToFile = QAAppendToFile;
	APIqa.SendToOstrelle = QASendToOstrelle;
	APIqa.CloseGame = QACloseGame;
}
