#include "tests/cli/cli_program.h"

#include "tests/support/test_files.h"

QString CliProgram()
{
    return BuiltProgramsFolder() + "/tamboril-cli";
}

CliRun RunCli(const QStringList& arguments, const QString& program)
{
    CliRun run;
    run.exitCode =
        RunProgram(program.isEmpty() ? CliProgram() : program, arguments, &run.standardOutput, &run.standardError);
    return run;
}
