# analysis tests
